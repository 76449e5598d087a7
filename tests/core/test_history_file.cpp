#include <gtest/gtest.h>

#include "syslog/history_file.h"
#include "text/durable_file.h"
#include "text/file_replace.h"
#include "timer/timer.h"
#include "test_syslog_support.h"

namespace rm::test {
namespace {

namespace fs = std::filesystem;

TEST(HistoryFile, AppendsCrLfLinesAndCreatesTheFile) {
    TempDir dir;
    const fs::path file = dir.path() / "LogBackUp.csv";
    AppendHistoryLine(file, "a,b");
    AppendHistoryLine(file, "c");
    EXPECT_EQ(ReadFile(file), "a,b\r\nc\r\n");
}

TEST(HistoryFile, ReadOnlyHistoryIsMadeWritableAndAppended) {
    SyslogMonitor f;
    const fs::path file = HistoryFilePath(f.dir.path());
    {
        std::ofstream(file, std::ios::binary) << "old\r\n";
    }
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    f.Receive(ConnectLine());
    f.Receive(DisconnectLine());
    EXPECT_EQ(f.History(), "old\r\n2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:05:00\r\n");
    EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST(HistoryFile, ACutLastLineIsSetAsideBeforeTheNextRecord) {
    TempDir dir;
    const fs::path file = dir.path() / "Rmonitor.csv";
    const std::string whole = "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:30,2003/01/02,09:35:00\r\n";
    WriteBytes(file, whole + "2.04,Port1,2003/01/02,09:0");  // power lost mid-write
    EXPECT_TRUE(AppendHistoryLine(file, "next"));
    EXPECT_EQ(ReadFile(file), whole + "next\r\n");
    EXPECT_EQ(ReadFile(CutLineFilePath(file)), "2.04,Port1,2003/01/02,09:0\r\n");
    // A file that is all fragment, and one ended by a lone CR, which is a line end.
    WriteBytes(file, "cut");
    EXPECT_TRUE(AppendHistoryLine(file, "next"));
    EXPECT_EQ(ReadFile(file), "next\r\n");
    WriteBytes(file, "only CR\r");
    EXPECT_TRUE(AppendHistoryLine(file, "next"));
    EXPECT_EQ(ReadFile(file), "only CR\rnext\r\n");
    EXPECT_EQ(ReadFile(CutLineFilePath(file)), "2.04,Port1,2003/01/02,09:0\r\ncut\r\n");
}

TEST(HistoryFile, AnUnwritableRecordIsKeptAndWrittenLaterInOrder) {
    SyslogMonitor f;
    const fs::path history = HistoryFilePath(f.dir.path());
    fs::create_directory(history);  // a folder in the file's place, as a full or locked file would refuse
    f.Receive(ConnectLine());
    f.RequestConnect(1);
    f.dialogs.answers = {false};
    EXPECT_NO_THROW(f.Receive(DisconnectLine()));
    // The rest of the disconnect went on: the redial question, the viewer line, the backup.
    EXPECT_EQ(f.dialogs.questions.size(), 1u);
    EXPECT_EQ(f.m.view.Viewer.Lines.back(), "---");
    EXPECT_EQ(f.m.s.conn.HistoryStage, 0);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_NE(f.dialogs.messages[0].find("Rmonitor.csv"), std::string::npos) << f.dialogs.messages[0];
    const std::string first = "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:05:00\r\n";
    EXPECT_EQ(f.Backup(), first);

    // A second record while the file still refuses: kept, not told again.
    f.ReceiveAt(At(2003, 1, 2, 10, 0, 0), ConnectLine());
    f.ReceiveAt(At(2003, 1, 2, 11, 0, 0), DisconnectLine());
    EXPECT_EQ(f.dialogs.messages.size(), 1u);

    // Space is back: the next tick writes both, oldest first.
    fs::remove(history);
    f.Run(OnTick(f.m));
    const std::string second = "2.04,Port1,2003/01/02,10:00:00,2003/01/02,10:00:00,2003/01/02,11:00:00\r\n";
    EXPECT_EQ(f.History(), first + second);
    EXPECT_TRUE(f.m.s.files.HistoryUnwritten.empty());

    // A new failure after that success is told again.
    fs::remove(history);
    fs::create_directory(history);
    f.Receive(ConnectLine());
    f.Receive(DisconnectLine());
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
}

TEST(HistoryFile, AnUnwritableBackupKeepsItsLineWhileTheHistoryIsWritten) {
    SyslogMonitor f;
    fs::create_directory(BackupHistoryFilePath(f.dir.path()));
    f.Receive(ConnectLine());
    EXPECT_NO_THROW(f.Receive(DisconnectLine()));
    EXPECT_NE(f.History(), "");
    EXPECT_EQ(ReadFile(SpillFilePath(BackupHistoryFilePath(f.dir.path()))), f.History());
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_NE(f.dialogs.messages[0].find("RMBackUp.csv"), std::string::npos);
}

// Every sync the files make, in place of the system's; failing ones when told.
struct SyncSeam {
    inline static int syncs = 0;
    inline static bool fail = false;
    static bool Sync(std::FILE*) {
        ++syncs;
        return !fail;
    }
    DurableFile::SyncCall system = DurableFile::SetSyncCall(Sync);
    SyncSeam() { syncs = 0, fail = false; }
    ~SyncSeam() { DurableFile::SetSyncCall(system); }
};

TEST(HistoryFile, RecordsAndWholeFileSavesReachTheDiskAndAFailedSyncCounts) {
    SyncSeam seam;
    TempDir dir;
    EXPECT_TRUE(AppendHistoryLine(dir.path() / "Rmonitor.csv", "record"));
    EXPECT_EQ(SyncSeam::syncs, 1);
    EXPECT_TRUE(ReplaceFileContents(dir.path() / "RMonitor.ini", "settings"));
    EXPECT_GE(SyncSeam::syncs, 2);

    // A record whose sync failed is not taken as written: it waits in the spill file.
    SyncSeam::fail = true;
    EXPECT_FALSE(AppendHistoryLine(dir.path() / "Rmonitor.csv", "next"));
    EXPECT_FALSE(ReplaceFileContents(dir.path() / "RMonitor.ini", "changed"));
    EXPECT_EQ(ReadFile(dir.path() / "RMonitor.ini"), "settings");
}

}  // namespace
}  // namespace rm::test
