#include <gtest/gtest.h>

#include "test_syslog_support.h"

namespace rm::test {
namespace {

TEST(SyslogHistoryRecord, DialConnectDisconnectWritesNineFields) {
    SyslogMonitor f;
    f.ReceiveAt(At(2003, 1, 2, 9, 5, 0), DialLine("0312345678"));
    EXPECT_EQ(f.m.s.conn.HistoryStage, 1);
    EXPECT_EQ(f.m.s.conn.HistoryRecord, "2.04,Port1,2003/01/02,09:05:00");
    EXPECT_TRUE(f.m.s.conn.Online);
    EXPECT_EQ(f.m.s.conn.OnlineSince, f.clock.monotonic);

    f.ReceiveAt(At(2003, 1, 2, 9, 5, 31), ConnectLine());
    EXPECT_EQ(f.m.s.conn.HistoryStage, 2);
    EXPECT_EQ(f.History(), "");

    f.ReceiveAt(At(2003, 1, 2, 23, 0, 7), DisconnectLine());
    const std::string record = "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:31,2003/01/02,23:00:07,2345678\r\n";
    EXPECT_EQ(f.History(), record);
    EXPECT_EQ(f.Backup(), record);  // no master known at any time
    EXPECT_EQ(f.m.s.conn.HistoryStage, 0);
    EXPECT_EQ(f.m.s.conn.DialledNumber, "");

    f.ReceiveAt(At(2003, 1, 3, 8, 0, 0), DialLine("123"));
    f.ReceiveAt(At(2003, 1, 3, 8, 0, 20), ConnectLine());
    f.ReceiveAt(At(2003, 1, 3, 8, 1, 0), DisconnectLine());
    EXPECT_EQ(f.History(), record + "2.04,Port1,2003/01/03,08:00:00,2003/01/03,08:00:20,2003/01/03,08:01:00,    123\r\n");
}

TEST(SyslogHistoryRecord, SecondDialKeepsFirstStartAndTakesItsNumber) {
    SyslogMonitor f;
    f.ReceiveAt(At(2003, 1, 2, 9, 0, 0), DialLine("1111111"));
    f.ReceiveAt(At(2003, 1, 2, 9, 1, 0), DisconnectLine());  // never connected: no record
    EXPECT_EQ(f.History(), "");
    f.ReceiveAt(At(2003, 1, 2, 9, 2, 0), DialLine("2222222"));
    f.ReceiveAt(At(2003, 1, 2, 9, 2, 30), ConnectLine());
    f.ReceiveAt(At(2003, 1, 2, 9, 3, 0), DisconnectLine());
    EXPECT_EQ(f.History(), "2.04,Port1,2003/01/02,09:00:00,2003/01/02,09:02:30,2003/01/02,09:03:00,2222222\r\n");
}

TEST(SyslogHistoryRecord, ConnectWithoutDialStartsTheRecordWithoutNumber) {
    SyslogMonitor f;
    f.ReceiveAt(At(2003, 1, 2, 9, 5, 0), ConnectLine());
    EXPECT_TRUE(f.m.s.conn.Online);
    EXPECT_EQ(f.m.s.conn.DialledNumber, "       ");
    f.ReceiveAt(At(2003, 1, 2, 9, 6, 0), DisconnectLine());
    EXPECT_EQ(f.History(), "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:06:00\r\n");
}

TEST(SyslogHistoryRecord, RepeatedConnectLeavesTheRecordAlone) {
    SyslogMonitor f;
    f.ReceiveAt(At(2003, 1, 2, 9, 0, 0), DialLine("7654321"));
    f.ReceiveAt(At(2003, 1, 2, 9, 0, 30), ConnectLine());
    f.ReceiveAt(At(2003, 1, 2, 9, 10, 0), ConnectLine());
    EXPECT_EQ(f.m.s.conn.HistoryRecord, "2.04,Port1,2003/01/02,09:00:00,2003/01/02,09:00:30");
    EXPECT_EQ(f.m.s.conn.DialledNumber, "7654321");
}

TEST(SyslogHistoryRecord, NumberKeepsTheLastSevenDialledCharacters) {
    struct Case {
        std::string line, number;
    };
    for (const Case& c : {
             Case{"S01: ATD0312345678", "2345678"},
             Case{"S01: ATD123", "    123"},
             Case{"S01: ATD:;<=>?", " :;<=>?"},
             Case{"S01: ATDT 03-1234,W5678", "2345678"},  // blanks, dashes, letters and commas are not dialled
             Case{"S01: ATD", "       "},
             Case{"S01: 99 ATD 12", "     12"},  // only what follows ATD
             Case{"S01: ATD1\t2\x82\xa0" "3", "    123"},  // tabs and 8-bit bytes never count
         }) {
        SyslogMonitor f;
        f.Receive(c.line);
        EXPECT_EQ(f.m.s.conn.DialledNumber, c.number) << c.line;
        f.Receive(ConnectLine());
        f.Receive(DisconnectLine());
        const std::string suffix = c.number == "       " ? ",09:05:00\r\n" : ",09:05:00," + c.number + "\r\n";
        EXPECT_TRUE(f.History().ends_with(suffix)) << f.History();
    }
}

TEST(SyslogHistoryRecord, LinesWithoutS01ConcernPort2) {
    SyslogMonitor f;
    f.Receive(DialLine("0312345678", "S02:"));
    f.Receive(ConnectLine("S02:"));
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 2);
    EXPECT_FALSE(f.m.view.Menu[Item::ConnectPort1].Enabled);
    EXPECT_FALSE(f.m.view.Menu[Item::DisconnectPort1].Enabled);
    EXPECT_TRUE(f.m.view.Menu[Item::ConnectPort2].Enabled);
    EXPECT_TRUE(f.m.view.Menu[Item::DisconnectPort2].Enabled);
    f.Receive(DisconnectLine("S02:"));
    EXPECT_EQ(f.History(), "2.04,Port2,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:05:00,2345678\r\n");
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 0);
}

TEST(SyslogHistoryRecord, PortOfTheRecordIsThatOfTheLineThatStartedIt) {
    SyslogMonitor f;
    f.Receive(DialLine("5"));
    f.Receive(ConnectLine("S02:"));
    f.Receive(DisconnectLine());
    EXPECT_TRUE(f.History().starts_with("2.04,Port1,")) << f.History();
}

TEST(SyslogHistoryRecord, BackupOnlyWhenNoMasterWasKnownAtConnectOrDisconnect) {
    struct Case {
        const char* name;
        std::string masterMode, addressAtConnect, addressAtDisconnect;
        bool backup;
    };
    for (const Case& c : {
             Case{"no master", "off", "", "", true},
             Case{"master known at connect", "off", "192.168.0.10", "", false},
             Case{"master learnt during the call", "off", "", "192.168.0.10", false},
             Case{"this copy is the master", "on", "", "", false},
         }) {
        SyslogMonitor f;
        f.m.s.settings.MasterMode = IsOn(c.masterMode);
        f.m.s.peers.MasterAddress = c.addressAtConnect;
        f.Receive(ConnectLine());
        f.m.s.peers.MasterAddress = c.addressAtDisconnect;
        f.Receive(DisconnectLine());
        EXPECT_NE(f.History(), "") << c.name;
        EXPECT_EQ(f.Backup(), c.backup ? f.History() : "") << c.name;
        EXPECT_FALSE(f.m.s.peers.MasterAtConnect) << c.name;
    }
}

}  // namespace
}  // namespace rm::test
