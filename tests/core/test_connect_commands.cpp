#include <gtest/gtest.h>

#include <algorithm>

#include "fakes.h"
#include "router/utility_windows.h"
#include "app/commands.h"
#include "display/display.h"
#include "app/startup.h"
#include "router/connect_commands.h"
#include "router/router_commands.h"
#include "test_command_support.h"

namespace rm::test {
namespace {

using Runs = std::vector<FakePrograms::Run>;

const std::string Utility = "C:\\Program Files\\Qorvalabs\\Routavista\\DAZera.exe";
const std::string UtilityFolder = "C:\\Program Files\\Qorvalabs\\Routavista\\";
constexpr const char* SettingsWindow = "Ｒｏｕｔａｖｉｓｔａの設定";

TEST(ConnectCommand, TellsPeersShowsTheConnectionThenSends) {
    CommandMonitor f;
    std::vector<bool> shownAtSend;
    auto acknowledge = f.net.onSend;
    f.net.onSend = [&](const SentDatagram& d) {
        shownAtSend.push_back(f.m.view.Panel.Shown);
        acknowledge(d);
    };
    f.Run(MenuClick(f.m, Item::ConnectPort1));

    ASSERT_EQ(f.net.sent.size(), 3u);
    EXPECT_EQ(f.net.sent[0], (SentDatagram{Endpoint::Peers, "192.168.0.255", "RMonitor Master Check"}));
    EXPECT_EQ(f.RouterSends(), (Datagrams{f.Clock(), f.Connect(1)}));
    EXPECT_EQ(f.net.sent[1].host, "192.168.0.1");
    EXPECT_EQ(shownAtSend, (std::vector<bool>{false, true, true}));
    EXPECT_TRUE(f.m.s.conn.ConnectPending);
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 1);
    EXPECT_EQ(f.m.s.conn.ConnectedIsp, 0);
    EXPECT_FALSE(f.Enabled(Item::ConnectPort2));
    EXPECT_FALSE(f.Enabled(Item::DisconnectPort2));
    EXPECT_TRUE(f.Enabled(Item::ConnectPort1));
    EXPECT_TRUE(f.Enabled(Item::DisconnectPort1));
    EXPECT_TRUE(f.programs.runs.empty());
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(ConnectCommand, TwoPortsConnectPort2) {
    CommandMonitor f;
    f.TwoPorts();
    f.Run(MenuClick(f.m, Item::ConnectPort2));
    EXPECT_EQ(f.RouterSends(), (Datagrams{f.Clock(), f.Connect(2)}));
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 2);
    EXPECT_FALSE(f.Enabled(Item::ConnectPort1));
    EXPECT_FALSE(f.Enabled(Item::DisconnectPort1));
    EXPECT_TRUE(f.Enabled(Item::DisconnectPort2));
}

TEST(ConnectCommand, MultiAccountSelectsTheIspAndDialsPort1) {
    // Port 1 goes out for every ISP, yet the ISP2 command notes port 2: its
    // disconnect is DisconnectPort2, the one disconnect of this mode.
    const struct {
        Item command;
        int isp, port;
        std::vector<Item> disabled;
    } rows[] = {
        {Item::ConnectPort1, 1, 1, {Item::ConnectPort2}},
        {Item::ConnectPort2, 2, 2, {}},
        {Item::ConnectIsp3, 3, 1, {Item::ConnectPort1, Item::DisconnectPort1, Item::ConnectPort2}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.isp);
        CommandMonitor f;
        f.MultiAccount();
        f.Run(MenuClick(f.m, row.command));
        EXPECT_EQ(f.RouterSends(), (Datagrams{SelectIspDatagram(row.isp - 1), f.Clock(), f.Connect(1)}));
        EXPECT_EQ(f.m.s.conn.ConnectedPort, row.port);
        EXPECT_EQ(f.m.s.conn.ConnectedIsp, row.isp);
        for (const Item item : row.disabled) EXPECT_FALSE(f.Enabled(item));
        if (!row.disabled.empty()) EXPECT_TRUE(f.Enabled(Item::DisconnectPort2));
    }
}

TEST(ConnectCommand, OnlyTheIsp1ConnectNotesItsIspBeforeTheClockWait) {
    for (const Item item : {Item::ConnectPort1, Item::ConnectPort2, Item::ConnectIsp3}) {
        CommandMonitor f;
        f.MultiAccount();
        int ispAtClock = -1;
        const auto acknowledge = f.net.onSend;
        f.net.onSend = [&](const SentDatagram& d) {
            if (d.bytes == f.Clock()) ispAtClock = f.m.s.conn.ConnectedIsp;
            acknowledge(d);
        };
        f.Run(MenuClick(f.m, item));
        EXPECT_EQ(ispAtClock, item == Item::ConnectPort1 ? 1 : 0) << static_cast<int>(item);
    }
}

TEST(ConnectCommand, Isp3OutsideDirectMultiAccountOnlyShowsTheConnection) {
    CommandMonitor direct;
    direct.Run(MenuClick(direct.m, Item::ConnectIsp3));
    CommandMonitor utility;
    utility.UtilityMode();
    utility.MultiAccount();
    utility.Run(MenuClick(utility.m, Item::ConnectIsp3));
    for (CommandMonitor* f : {&direct, &utility}) {
        EXPECT_TRUE(f->RouterSends().empty());
        EXPECT_TRUE(f->programs.runs.empty());
        EXPECT_TRUE(f->m.view.Panel.Shown);
        EXPECT_EQ(f->m.s.conn.ConnectedPort, 1);
        EXPECT_EQ(f->m.s.conn.ConnectedIsp, 0);
    }
}

TEST(ConnectCommand, UtilityModeStartsTheUtilityHidden) {
    const auto runOf = [](Item item, bool multiAccount) {
        CommandMonitor f;
        f.UtilityMode();
        if (multiAccount) f.MultiAccount();
        f.Run(MenuClick(f.m, item));
        EXPECT_TRUE(f.RouterSends().empty());
        EXPECT_TRUE(f.m.view.Panel.Shown);
        EXPECT_EQ(f.m.s.conn.ConnectedIsp, 0);
        return f.programs.runs;
    };
    EXPECT_EQ(runOf(Item::ConnectPort1, false),
              (Runs{{Utility, "-i 192.168.0.1 -con1", UtilityFolder, ShowMode::Hide}}));
    EXPECT_EQ(runOf(Item::ConnectPort2, false),
              (Runs{{Utility, "-i 192.168.0.1 -con2", UtilityFolder, ShowMode::Hide}}));
    EXPECT_EQ(runOf(Item::ConnectPort2, true),
              (Runs{{Utility, "-i 192.168.0.1 -con2", UtilityFolder, ShowMode::Hide}}));

    CommandMonitor named;
    named.UtilityMode();
    named.m.s.settings.RouterAddress = "rv4.home";
    named.m.s.settings.UtilityPath = "D:\\RV\\rvt4set.exe";
    named.Run(MenuClick(named.m, Item::ConnectPort1));
    EXPECT_EQ(named.programs.runs, (Runs{{"D:\\RV\\rvt4set.exe", "-i rv4.home -con1", "D:\\RV\\", ShowMode::Hide}}));
}

TEST(ConnectCommand, AFailedClockSettingStillConnects) {
    CommandMonitor f;
    f.net.onSend = nullptr;  // the router is silent
    f.Run(MenuClick(f.m, Item::ConnectPort1));
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"時間設定に失敗しました"});
    EXPECT_EQ(f.RouterSends().back(), f.Connect(1));
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 1);

    CommandMonitor isp;
    isp.MultiAccount();
    isp.net.onSend = nullptr;
    isp.Run(MenuClick(isp.m, Item::ConnectPort2));
    EXPECT_EQ(isp.dialogs.messages,
              (std::vector<std::string>{"ISPの切り替えに失敗しました", "時間設定に失敗しました"}));
    EXPECT_EQ(isp.RouterSends().back(), isp.Connect(1));
    EXPECT_EQ(isp.m.s.conn.ConnectedIsp, 2);
}

TEST(DisconnectCommand, MarksThePanelAndForgetsThePort) {
    CommandMonitor f;
    f.TwoPorts();
    f.Run(MenuClick(f.m, Item::ConnectPort1));
    f.m.view.Panel.Caption = "00:10:00";
    f.net.sent.clear();
    f.Run(MenuClick(f.m, Item::DisconnectPort1));
    EXPECT_EQ(f.RouterSends(), Datagrams{f.Disconnect(1)});
    EXPECT_EQ(f.m.view.Panel.Colour, FontColour::Blue);
    EXPECT_EQ(f.m.view.Panel.Caption, "00:10:00");
    EXPECT_TRUE(f.m.view.Panel.Shown);
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 0);
    EXPECT_TRUE(f.Enabled(Item::ConnectPort2));
    EXPECT_TRUE(f.Enabled(Item::DisconnectPort2));

    f.Run(MenuClick(f.m, Item::ConnectPort2));
    f.net.sent.clear();
    f.Run(MenuClick(f.m, Item::DisconnectPort2));
    EXPECT_EQ(f.RouterSends(), Datagrams{f.Disconnect(2)});
    EXPECT_TRUE(f.Enabled(Item::ConnectPort1));
    EXPECT_TRUE(f.Enabled(Item::DisconnectPort1));

    // One port: the port-2 items stay as they were.
    CommandMonitor one;
    one.m.view.Menu[Item::ConnectPort2].Enabled = false;
    one.Run(MenuClick(one.m, Item::DisconnectPort1));
    EXPECT_FALSE(one.Enabled(Item::ConnectPort2));
}

TEST(DisconnectCommand, MultiAccountDisconnectsPort1AndForgetsTheIsp) {
    CommandMonitor f;
    f.MultiAccount();
    f.Run(MenuClick(f.m, Item::ConnectPort2));
    f.net.sent.clear();
    f.Run(MenuClick(f.m, Item::DisconnectPort2));
    EXPECT_EQ(f.RouterSends(), Datagrams{f.Disconnect(1)});
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 0);
    EXPECT_EQ(f.m.s.conn.ConnectedIsp, 0);
    EXPECT_TRUE(f.Enabled(Item::ConnectPort1));
}

TEST(DisconnectCommand, MultiAccountWinsOverTwoPorts) {
    // Both switched on in the state, as a hand-edited file gives before the
    // menus are shaped: the one line of multi-account mode is port 1.
    CommandMonitor f;
    f.m.s.settings.UsePort2 = true;
    f.m.s.settings.MultiAccount = true;
    f.Run(MenuClick(f.m, Item::DisconnectPort2));
    EXPECT_EQ(f.RouterSends(), Datagrams{f.Disconnect(1)});
    EXPECT_TRUE(f.Enabled(Item::ConnectPort1));
    EXPECT_TRUE(f.Enabled(Item::DisconnectPort1));
}

TEST(DisconnectCommand, UtilityModeStartsTheUtility) {
    CommandMonitor f;
    f.UtilityMode();
    f.Run(MenuClick(f.m, Item::DisconnectPort1));
    f.Run(MenuClick(f.m, Item::DisconnectPort2));
    EXPECT_EQ(f.programs.runs, (Runs{{Utility, "-i 192.168.0.1 -cut1", UtilityFolder, ShowMode::Hide},
                                     {Utility, "-i 192.168.0.1 -cut2", UtilityFolder, ShowMode::Hide}}));
    EXPECT_TRUE(f.RouterSends().empty());
}

TEST(RouterCommandGuard, SettingsWindowRefusesConnectAndDisconnectNotReset) {
    for (const char* title : {SettingsWindow, "Ｒｏｕｔａｖｉｓｔａ４の設定"}) {
        CommandMonitor f;
        f.MultiAccount();
        f.otherWindows.open[title] = 5;
        f.otherWindows.open["RVT4SET"] = 6;
        for (Item item : {Item::ConnectPort1, Item::ConnectPort2, Item::ConnectIsp3}) f.Run(MenuClick(f.m, item));
        for (Item item : {Item::DisconnectPort1, Item::DisconnectPort2}) f.Run(MenuClick(f.m, item));
        EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{
                                          "Routavistaの設定中は接続できません。",
                                          "Routavistaの設定中は接続できません。",
                                          "Routavistaの設定中は接続できません。",
                                          "Routavistaの設定中は切断できません。",
                                          "Routavistaの設定中は切断できません。",
                                      }))
            << title;
        EXPECT_TRUE(f.net.sent.empty());
        EXPECT_TRUE(f.otherWindows.closed.empty());
        EXPECT_FALSE(f.m.view.Panel.Shown);
        EXPECT_EQ(f.m.view.Panel.Colour, FontColour::WindowText);

        f.Run(ShowConnected(f.m));
        f.Run(MenuClick(f.m, Item::Reset));
        EXPECT_FALSE(f.m.view.Panel.Shown);
        EXPECT_EQ(f.dialogs.messages.size(), 5u);
    }
}

TEST(RouterCommandGuard, StrayUtilityWindowsCloseButNotTheSettingsWindows) {
    CommandMonitor f;
    for (std::size_t i = 0; i < 8; ++i) f.otherWindows.open[UtilityWindows[i]] = 100 + i;
    f.Run(CloseUtilityWindows(f.m));
    EXPECT_EQ(f.otherWindows.closed, (std::vector<WindowHandle>{100, 101, 103, 104, 106, 107}));

    CommandMonitor connect;
    connect.otherWindows.open["DAZERA"] = 9;
    connect.otherWindows.open["DUVizod"] = 10;
    connect.Run(MenuClick(connect.m, Item::ConnectPort1));
    EXPECT_EQ(connect.otherWindows.closed, (std::vector<WindowHandle>{9, 10}));

    CommandMonitor disconnect;
    disconnect.otherWindows.open["Ｒｏｕｔａｖｉｓｔａ セットアップユーティリティー"] = 11;
    disconnect.Run(MenuClick(disconnect.m, Item::DisconnectPort1));
    EXPECT_EQ(disconnect.otherWindows.closed, std::vector<WindowHandle>{11});
}

TEST(RouterCommandErrors, AFailedSendLeavesPortAndMenus) {
    const auto failing = [](CommandMonitor& f) {
        f.net.onSend = [](const SentDatagram& d) {
            if (d.from == Endpoint::Router) throw std::runtime_error("Null Remote Address");
        };
    };
    CommandMonitor connect;
    connect.TwoPorts();
    failing(connect);
    EXPECT_THROW(connect.Run(MenuClick(connect.m, Item::ConnectPort2)), std::runtime_error);
    EXPECT_EQ(connect.m.s.conn.ConnectedPort, 0);
    EXPECT_TRUE(connect.Enabled(Item::ConnectPort1));
    EXPECT_TRUE(connect.Enabled(Item::DisconnectPort1));

    CommandMonitor disconnect;
    disconnect.TwoPorts();
    disconnect.Run(MenuClick(disconnect.m, Item::ConnectPort2));
    failing(disconnect);
    EXPECT_THROW(disconnect.Run(MenuClick(disconnect.m, Item::DisconnectPort2)), std::runtime_error);
    EXPECT_EQ(disconnect.m.s.conn.ConnectedPort, 2);
    EXPECT_FALSE(disconnect.Enabled(Item::ConnectPort1));
    EXPECT_FALSE(disconnect.Enabled(Item::DisconnectPort1));
}

TEST(CopyAddress, OnlyAKnownAddressReachesTheClipboard) {
    CommandMonitor f;
    f.m.s.conn.WanAddress = "203.0.113.5";  // left over: the panel says no address is known
    f.Run(MenuClick(f.m, Item::CopyAddress));
    EXPECT_TRUE(f.clipboard.texts.empty());

    f.Receive("<30>RV4: S01: IPCP UP. My IP=203.0.113.7, Peer IP=203.0.113.1");
    f.Run(MenuClick(f.m, Item::CopyAddress));
    EXPECT_EQ(f.clipboard.texts, std::vector<std::string>{"203.0.113.7"});
}

TEST(RouterRedial, ABusyLinePerformsTheConnectCommandAgain) {
    CommandMonitor f;
    f.m.s.settings.RedialCount = 3;
    f.m.s.redial.RedialLeft = 3;
    f.Run(MenuClick(f.m, Item::ConnectPort1));
    f.net.sent.clear();
    f.Receive(BusyLine());
    EXPECT_EQ(f.RouterSends(), (Datagrams{f.Clock(), f.Connect(1)}));
    EXPECT_EQ(f.m.view.Panel.Caption, "接続中(1)");
    EXPECT_EQ(f.m.s.conn.ConnectedPort, 1);

    CommandMonitor isp3;
    isp3.MultiAccount();
    isp3.m.s.settings.RedialCount = 3;
    isp3.m.s.redial.RedialLeft = 3;
    isp3.Run(MenuClick(isp3.m, Item::ConnectIsp3));
    isp3.net.sent.clear();
    isp3.Receive(DisconnectLine());
    EXPECT_EQ(isp3.RouterSends(), (Datagrams{SelectIspDatagram(2), isp3.Clock(), isp3.Connect(1)}));
    EXPECT_EQ(isp3.m.s.conn.ConnectedIsp, 3);
}

}  // namespace
}  // namespace rm::test
