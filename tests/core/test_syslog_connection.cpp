#include <gtest/gtest.h>

#include "test_syslog_support.h"

namespace rm::test {
namespace {

using Runs = std::vector<FakePrograms::Run>;

TEST(SyslogSpeed, DigitsAfterConnectOrCarrierGoToTheTrayTip) {
    SyslogMonitor f;
    f.Receive(SpeedLine("64000/V42b"));
    EXPECT_EQ(f.m.view.Tray.Tip, "64000bpsで接続中");
    f.Receive("S02: <--: CARRIER   28800");
    EXPECT_EQ(f.m.view.Tray.Tip, "28800bpsで接続中");
    f.Receive("S01: <--: CONNECT");
    f.Receive("S01: <--: CARRIER x9600");
    EXPECT_EQ(f.m.view.Tray.Tip, "28800bpsで接続中");
    EXPECT_FALSE(f.m.s.conn.Online);  // a speed alone changes nothing else
}

TEST(SyslogConnect, Port1ShowsTheConnectionAndDisablesPort2Commands) {
    SyslogMonitor f;
    f.m.s.settings.ConnectSound = "C:\\Sounds\\connect.wav";
    f.m.s.settings.RedialCount = 3;
    f.RequestConnect(1);
    f.Receive(ConnectLine());
    const MainState& s = f.m.s;
    EXPECT_TRUE(f.m.view.Panel.Shown);
    EXPECT_EQ(f.m.view.Tray.Icon, TrayIconKind::Connected);
    EXPECT_FALSE(s.conn.ConnectPending);
    EXPECT_FALSE(s.launcher.LaunchPending);  // consumed by the start-on-connect step
    EXPECT_EQ(s.conn.ConnectedPort, 1);
    EXPECT_EQ(s.redial.RedialLeft, 3);
    EXPECT_FALSE(f.m.view.Menu[Item::ConnectPort2].Enabled);
    EXPECT_FALSE(f.m.view.Menu[Item::DisconnectPort2].Enabled);
    EXPECT_TRUE(f.m.view.Menu[Item::ConnectPort1].Enabled);
    EXPECT_TRUE(f.m.view.Menu[Item::ConnectIsp3].Enabled);
    EXPECT_EQ(f.sound.played, std::vector<std::string>{"C:\\Sounds\\connect.wav"});
    EXPECT_TRUE(f.programs.runs.empty());
    EXPECT_EQ(f.m.view.Tray.Tip, AppTitle);
}

TEST(SyslogConnect, MultiAccountDisablesEveryConnectAndNamesTheIsp) {
    SyslogMonitor f;
    f.m.s.settings.MultiAccount = true;
    f.m.s.conn.ConnectedIsp = 2;  // set by the connect command before the router answered
    f.Receive(SpeedLine("64000"));
    f.Receive(ConnectLine());
    EXPECT_EQ(f.m.view.Tray.Tip, "ISP2に 64000bpsで接続中");
    for (Item item : {Item::ConnectPort1, Item::ConnectPort2, Item::ConnectIsp3})
        EXPECT_FALSE(f.m.view.Menu[item].Enabled);
    EXPECT_TRUE(f.m.view.Menu[Item::DisconnectPort2].Enabled);

    SyslogMonitor plain;
    plain.m.s.settings.MultiAccount = true;
    plain.m.s.conn.ConnectedIsp = 3;
    plain.Receive(ConnectLine());
    EXPECT_EQ(plain.m.view.Tray.Tip, "ISP3に接続中");

    // The router does not say which ISP it uses yet: nothing is added.
    SyslogMonitor unknown;
    unknown.m.s.settings.MultiAccount = true;
    unknown.Receive(ConnectLine());
    EXPECT_EQ(unknown.m.s.conn.ConnectedIsp, 0);
    EXPECT_EQ(unknown.m.view.Tray.Tip, AppTitle);
}

struct DialUpWatcherMonitor : SyslogMonitor {
    // The folder holds a blank, and the name is longer than 79 bytes.
    const std::string path = "C:\\Program Files\\Dial Up\\dwctrl32.exe";
    const std::string folder = "C:\\Program Files\\Dial Up\\";
    const std::string longName = "プロバイダ・フレッツ接続用の名前がとても長い接続 (予備)";
    DialUpWatcherMonitor() {
        m.s.settings.UseDialUpWatcher = true;
        m.s.settings.DialUpWatcherPath = path;
        m.s.settings.DialUpWatcherName1 = longName;
        m.s.settings.DialUpWatcherName2 = "port2";
        m.s.settings.DialUpWatcherName3 = "isp3";
        otherWindows.open["Dial-Up Watcher"] = 7;  // already running: not started again
    }
};

TEST(SyslogDialUpWatcher, GetsTheConnectionNameAndStop) {
    DialUpWatcherMonitor f;
    ASSERT_GT(f.longName.size(), 79u);
    f.Receive(ConnectLine());
    EXPECT_EQ(f.programs.runs, (Runs{{f.path, f.longName, f.folder, ShowMode::Show}}));
    EXPECT_TRUE(f.m.s.conn.DialUpWatcherStarted);

    f.Receive(DisconnectLine());
    EXPECT_EQ(f.programs.runs.back(), (FakePrograms::Run{f.path, "stop", f.folder, ShowMode::Show}));
    EXPECT_EQ(f.steps.waits, std::vector<int>{500});
    EXPECT_FALSE(f.m.s.conn.DialUpWatcherStarted);

    f.Receive(DisconnectLine());  // nothing was handed over: no second stop
    EXPECT_EQ(f.programs.runs.size(), 2u);
}

TEST(SyslogDialUpWatcher, NameFollowsThePortOrTheIsp) {
    DialUpWatcherMonitor port2;
    port2.Receive(ConnectLine("S02:"));
    EXPECT_EQ(port2.programs.runs.at(0).parameters, "port2");

    DialUpWatcherMonitor isp3;
    isp3.m.s.settings.MultiAccount = true;
    isp3.m.s.conn.ConnectedIsp = 3;
    isp3.Receive(ConnectLine());
    EXPECT_EQ(isp3.programs.runs.at(0).parameters, "isp3");

    // No ISP known: no name, but the stop is still due at the disconnect.
    DialUpWatcherMonitor unknown;
    unknown.m.s.settings.MultiAccount = true;
    unknown.Receive(ConnectLine());
    EXPECT_TRUE(unknown.programs.runs.empty());
    EXPECT_TRUE(unknown.m.s.conn.DialUpWatcherStarted);
}

TEST(SyslogOwnAddress, GoesToThePanelHintUnlessItIsTheRouters) {
    SyslogMonitor f;
    f.Receive("S01: IPCP UP. My IP=   203.0.113.5, Peer IP=203.0.113.1");
    EXPECT_EQ(f.m.s.conn.WanAddress, "203.0.113.5");
    EXPECT_EQ(f.m.view.Panel.Hint, "203.0.113.5");
    EXPECT_TRUE(f.m.view.Menu[Item::CopyAddress].Enabled);

    SyslogMonitor own;
    own.Receive("S01: IPCP UP. My IP=192.168.0.1");
    EXPECT_EQ(own.m.s.conn.WanAddress, "");
    EXPECT_EQ(own.m.view.Panel.Hint, AppTitle);
    EXPECT_FALSE(own.m.view.Menu[Item::CopyAddress].Enabled);
}

TEST(SyslogDisconnect, ReturnsToIdleAndClosesMarkedLauncherPrograms) {
    SyslogMonitor f;
    f.m.s.settings.DisconnectSound = "bye.wav";
    f.m.s.launcher.LaunchEntries[0].CloseOnDisconnect = "on";
    f.m.s.launcher.LaunchEntries[1].CloseOnDisconnect = "on";   // never started: no window
    f.m.s.launcher.LaunchEntries[2].CloseOnDisconnect = "on";
    f.m.s.launcher.LaunchEntries[3].CloseOnDisconnect = "off";
    for (int n = 0; n < 4; ++n) f.programs.CreateProgramProcess("p.exe", "", "");
    f.m.s.launcher.LaunchProcesses = {101, 0, 103, 104, 0, 0};
    f.m.s.launcher.LaunchWindows = {301, 0, 303, 304, 0, 0};
    f.Receive(SpeedLine("64000"));
    f.Receive(ConnectLine() + " IPCP UP. My IP=203.0.113.5");  // both phrases act
    EXPECT_EQ(f.m.view.Panel.Hint, "203.0.113.5");
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 1);

    f.Receive(DisconnectLine());
    EXPECT_FALSE(f.m.view.Panel.Shown);
    EXPECT_EQ(f.m.view.Panel.Caption, "未接続");
    EXPECT_EQ(f.m.view.Tray.Tip, AppTitle);
    EXPECT_EQ(f.m.view.Panel.Hint, AppTitle);
    EXPECT_FALSE(f.m.view.Menu[Item::CopyAddress].Enabled);
    EXPECT_FALSE(f.m.view.Menu[Item::DisconnectAfterDownload].Enabled);
    EXPECT_FALSE(f.m.s.conn.Online);
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 0);
    EXPECT_EQ(f.sound.played, std::vector<std::string>{"bye.wav"});
    EXPECT_EQ(f.otherWindows.closed, (std::vector<WindowHandle>{301, 303}));
    EXPECT_EQ(f.m.s.launcher.LaunchWindows[0], 301u);  // the handles stay
    EXPECT_EQ(f.m.s.launcher.LaunchProcesses[0], 101u);
}

TEST(SyslogDisconnect, ConnectAndDisconnectInOneLineWriteTheRecord) {
    SyslogMonitor f;
    f.Receive("S01: Connect successfully / Disconnect successfully");
    EXPECT_EQ(f.History(), "2.04,Port1,2003/01/02,09:05:00,2003/01/02,09:05:00,2003/01/02,09:05:00\r\n");
    EXPECT_FALSE(f.m.view.Panel.Shown);
}

}  // namespace
}  // namespace rm::test
