#include <gtest/gtest.h>

#include "syslog/history_file.h"
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

TEST(HistoryFile, UnopenableHistoryEndsTheDatagram) {
    SyslogMonitor f;
    f.m.s.settings.RedialCount = 255;
    fs::create_directory(HistoryFilePath(f.dir.path()));  // a folder in the file's place
    f.Receive(ConnectLine());
    f.RequestConnect(1);
    const std::size_t linesBefore = f.m.view.Viewer.Lines.size();
    try {
        f.Receive(DisconnectLine() + " BUSY");
        FAIL() << "no error raised";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Rmonitor.csv"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(fs::exists(BackupHistoryFilePath(f.dir.path())));
    EXPECT_TRUE(f.dialogs.questions.empty());  // neither the redial nor the busy line
    EXPECT_FALSE(f.m.s.redial.BusySeen);
    EXPECT_EQ(f.m.view.Viewer.Lines.size(), linesBefore);
    EXPECT_EQ(f.m.s.conn.HistoryStage, 0);  // the call is over; the next one starts afresh
}

TEST(HistoryFile, UnopenableBackupRaisesAfterTheHistoryLine) {
    SyslogMonitor f;
    fs::create_directory(BackupHistoryFilePath(f.dir.path()));
    f.Receive(ConnectLine());
    EXPECT_THROW(f.Receive(DisconnectLine()), std::runtime_error);
    EXPECT_NE(f.History(), "");
}

}  // namespace
}  // namespace rm::test
