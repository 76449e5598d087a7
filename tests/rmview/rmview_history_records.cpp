#include <gtest/gtest.h>

#include "history_records.h"
#include "rmview_support.h"

namespace rmview::test {
namespace {

TEST(RmviewRecords, ARecordWithItsNumberGivesPortConnectAndEnd) {
    const auto call =
        ParseHistoryLine("2.04,Port2,2003/01/02,09:04:50,2003/01/02,09:05:00,2003/01/02,10:15:30,   1234");
    ASSERT_TRUE(call);
    EXPECT_EQ(*call, (Call{2, At(2003, 1, 2, 9, 5, 0), At(2003, 1, 2, 10, 15, 30)}));
}

TEST(RmviewRecords, OldRecordsWithoutANumberAndOfOtherVersionsAreRead) {
    EXPECT_EQ(ParseHistoryLine("2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00"),
              (Call{1, At(2003, 1, 2, 9, 5), At(2003, 1, 2, 9, 6)}));
    EXPECT_EQ(ParseHistoryLine("1.50,Port1,1999/12/31,23:59:00,1999/12/31,23:59:30,2000/01/01,00:10:00"),
              (Call{1, At(1999, 12, 31, 23, 59, 30), At(2000, 1, 1, 0, 10)}));
    // The number may hold the dial characters : ; < = > ? as well.
    EXPECT_TRUE(ParseHistoryLine("2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00,0;<=>?:"));
}

TEST(RmviewRecords, DamagedLinesAreNoRecords) {
    for (const char* line : {
             "2.04,Port1,2003/01/02,09:0",                                                        // cut
             "2.04,Port3,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00",            // port
             "2.04,port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00",            // case
             "2.04,Port1,2003/02/29,09:05:00,2003/02/29,09:05:00,2003/02/29,09:06:00",            // no such day
             "2.04,Port1,2003/01/02,24:00:00,2003/01/02,09:05:00,2003/01/02,09:06:00",            // hour
             "2.04,Port1,2003/1/2,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00",              // date form
             "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:0x",            // digit
             "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00,123",        // number
             "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00,   1234,x",  // fields
             "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00",                                // fields
             ",Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00",                // version
             "2.04,Port1,2003/01/02,09:05:00,2003/01/02,10:05:00,2003/01/02,09:06:00",            // ends first
             "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:04:00,2003/01/02,09:06:00",            // dialled later
             "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,9999/01/02,09:06:00",            // centuries
             "\x82\xa0,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00",        // Shift-JIS
         }) {
        EXPECT_FALSE(ParseHistoryLine(line)) << line;
    }
}

TEST(RmviewRecords, TextIsReadLineByLineAndDamagedLinesCounted) {
    HistoryRead read;
    ReadHistoryText(
        "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00\r\n"
        "2.04,Port1,2003/01/02,10:0\r\n"  // cut by a power loss, ended by the next append
        "\r\n"
        "2.04,Port2,2003/01/03,09:05:00,2003/01/03,09:05:00,2003/01/03,09:07:00,    117\n"
        "garbage\r\r\n"
        "2.04,Port1,2003/01/04,09:05:00,2003/01/04,09:05:00,2003/01/04,09:08:00",  // no line end
        read);
    EXPECT_EQ(read.Calls, (std::vector<Call>{{1, At(2003, 1, 2, 9, 5), At(2003, 1, 2, 9, 6)},
                                             {2, At(2003, 1, 3, 9, 5), At(2003, 1, 3, 9, 7)},
                                             {1, At(2003, 1, 4, 9, 5), At(2003, 1, 4, 9, 8)}}));
    EXPECT_EQ(read.DamagedLines, 2);
}

TEST(RmviewRecords, BothFilesOfTheFolderAreRead) {
    ProgramFolder folder;
    EXPECT_EQ(ReadHistoryFiles(folder.path()).FilesFound, 0);
    std::filesystem::create_directory(folder.path() / "log" / "Rmonitor.csv");  // no file, whatever it is
    EXPECT_EQ(ReadHistoryFiles(folder.path()).FilesFound, 0);
    std::filesystem::remove(folder.path() / "log" / "Rmonitor.csv");

    folder.Write("Rmonitor.csv", "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00\r\nbad\r\n");
    HistoryRead own = ReadHistoryFiles(folder.path());
    EXPECT_EQ(own.FilesFound, 1);
    EXPECT_EQ(own.Calls.size(), 1u);
    EXPECT_EQ(own.DamagedLines, 1);

    folder.Write("LogBackUp.csv", "2.04,Port2,2003/01/05,09:05:00,2003/01/05,09:05:00,2003/01/05,09:06:00\r\nbad\r\n");
    folder.Write("RMBackUp.csv", "2.04,Port2,2003/01/07,09:05:00,2003/01/07,09:05:00,2003/01/07,09:06:00\r\n");
    const HistoryRead both = ReadHistoryFiles(folder.path());
    EXPECT_EQ(both.FilesFound, 2);
    EXPECT_EQ(both.Calls, (std::vector<Call>{{1, At(2003, 1, 2, 9, 5), At(2003, 1, 2, 9, 6)},
                                             {2, At(2003, 1, 5, 9, 5), At(2003, 1, 5, 9, 6)}}));
    EXPECT_EQ(both.DamagedLines, 2);
}

}  // namespace
}  // namespace rmview::test
