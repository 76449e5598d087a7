// History that must survive what the monitor cannot help: a file held by
// another program, a full disk, an exit or a crash during a call.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "syslog/call_record.h"
#include "syslog/history_file.h"
#include "timer/timer.h"
#include "test_syslog_support.h"

namespace rm::test {
namespace {

namespace fs = std::filesystem;

const std::string First = "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:05:00";

// The same program folder after a restart.
struct Restarted : SyslogMonitor {
    explicit Restarted(const fs::path& folder) {
        m.s.AppDir = folder;
        Run(StartUp(m));
    }
    std::string History() const { return ReadFile(HistoryFilePath(m.s.AppDir)); }
    std::string Backup() const { return ReadFile(BackupHistoryFilePath(m.s.AppDir)); }
};

bool Told(const FakeDialogs& dialogs, std::string_view part) {
    return std::any_of(dialogs.messages.begin(), dialogs.messages.end(),
                       [&](const std::string& text) { return text.find(part) != std::string::npos; });
}

TEST(HistoryKeeping, ARefusedRecordWaitsInItsSpillFileAndTheNextStartWritesIt) {
    SyslogMonitor f;
    const fs::path history = HistoryFilePath(f.dir.path());
    fs::create_directory(history);  // held: the file refuses every write
    f.Receive(ConnectLine());
    f.Receive(DisconnectLine());
    EXPECT_EQ(ReadFile(SpillFilePath(history)), First + "\r\n");
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_NE(f.dialogs.messages[0].find("Rmonitor.pending.csv"), std::string::npos) << f.dialogs.messages[0];

    // Still held at exit: the user learns where the record is.
    ShutDown(f.m);
    ASSERT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_NE(f.dialogs.messages[1].find("次回の起動時に書き込みます"), std::string::npos) << f.dialogs.messages[1];

    fs::remove(history);
    WriteBytes(history, "older\r\n");
    Restarted next(f.dir.path());
    EXPECT_EQ(next.History(), "older\r\n" + First + "\r\n");
    EXPECT_FALSE(fs::exists(SpillFilePath(history)));
}

TEST(HistoryKeeping, NewRecordsQueueBehindTheSpilledOnesSoTheOrderHolds) {
    SyslogMonitor f;
    const fs::path history = HistoryFilePath(f.dir.path());
    fs::create_directory(history);
    f.Receive(ConnectLine());
    f.Receive(DisconnectLine());
    fs::remove(history);
    // The file takes lines again, but the spilled record is older than the next one.
    f.ReceiveAt(At(2003, 1, 2, 10, 0, 0), ConnectLine());
    f.ReceiveAt(At(2003, 1, 2, 11, 0, 0), DisconnectLine());
    EXPECT_EQ(f.History(),
              First + "\r\n2.04,Port1,2003/01/02,10:00:00,2003/01/02,10:00:00,2003/01/02,11:00:00\r\n");
    EXPECT_FALSE(fs::exists(SpillFilePath(history)));
}

TEST(HistoryKeeping, WithTheFolderGoneRecordsWaitInMemoryUpToABoundAndExitSaysWhatIsLost) {
    SyslogMonitor f;
    f.m.s.settings.MasterMode = true;  // no backup records
    fs::remove_all(f.dir.path() / "log");
    for (std::size_t i = 0; i < MaxKeptLines + 5; ++i) {
        f.Receive(ConnectLine());
        f.Receive(DisconnectLine());
    }
    EXPECT_EQ(f.m.s.files.HistoryUnwritten.size(), MaxKeptLines);
    EXPECT_EQ(f.m.s.files.HistoryLinesLost, 5u);
    // Once for the file, once for the bound.
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_TRUE(Told(f.dialogs, "これ以後の記録は保存できません"));
    ShutDown(f.m);
    EXPECT_TRUE(Told(f.dialogs, std::to_string(MaxKeptLines) + " 件は保存できませんでした"));
}

TEST(HistoryKeeping, ACallOpenAtExitIsCompletedByItsDisconnectLineAfterTheRestart) {
    SyslogMonitor f;
    f.Receive(DialLine("0312345678"));
    f.ReceiveAt(At(2003, 1, 2, 9, 5, 30), ConnectLine());
    EXPECT_TRUE(fs::exists(OpenCallFilePath(f.dir.path())));
    f.clock.now = At(2003, 1, 2, 9, 40, 0);
    ShutDown(f.m);
    EXPECT_EQ(f.History(), "");

    Restarted next(f.dir.path());
    next.ReceiveAt(At(2003, 1, 2, 10, 0, 0), DisconnectLine());
    EXPECT_EQ(next.History(), "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:30,2003/01/02,10:00:00,2345678\r\n");
    EXPECT_FALSE(fs::exists(OpenCallFilePath(f.dir.path())));
}

TEST(HistoryKeeping, ACallThatEndedUnseenIsWrittenWithItsLastTimeUpWhenTheNextCallBegins) {
    SyslogMonitor f;
    f.m.s.peers.MasterAddress = "192.168.0.9";
    f.Receive(ConnectLine());
    // Still up at the tick a minute later; then the program is gone without a word.
    f.clock.Advance(61'000);
    f.Run(OnTick(f.m));

    Restarted next(f.dir.path());
    next.ReceiveAt(At(2003, 1, 3, 8, 0, 0), DialLine("0311112222"));
    EXPECT_EQ(next.History(), "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:01\r\n");
    // A master was known when it connected: no backup record.
    EXPECT_EQ(next.Backup(), "");
    next.ReceiveAt(At(2003, 1, 3, 8, 0, 20), ConnectLine());
    next.ReceiveAt(At(2003, 1, 3, 9, 0, 0), DisconnectLine());
    EXPECT_EQ(next.History(), "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:01\r\n"
                              "2.04,Port1,2003/01/03,08:00:00,2003/01/03,08:00:20,2003/01/03,09:00:00,1112222\r\n");
}

TEST(HistoryKeeping, ADamagedOpenCallFileIsLeftAlone) {
    SyslogMonitor f;
    WriteBytes(OpenCallFilePath(f.dir.path()), "2.04,Port1,2003/01/0");  // cut by a power loss
    Restarted next(f.dir.path());
    EXPECT_EQ(next.m.s.conn.HistoryStage, 0);
    next.Receive(DisconnectLine());
    EXPECT_EQ(next.History(), "");
}

}  // namespace
}  // namespace rm::test
