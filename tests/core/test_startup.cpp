#include <fstream>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "fakes.h"
#include "form/settings_form.h"
#include "form/settings_save.h"
#include "launcher/launch_menu.h"
#include "router/utility_windows.h"
#include "text/address.h"
#include "text/files.h"

namespace rm::test {
namespace {

// Visible captions of a popup menu, separators as "-", in menu order.
std::vector<std::string> Shown(const Menus& menu, const std::vector<Item>& order) {
    std::vector<std::string> captions;
    for (Item i : order) {
        if (menu[i].Visible) captions.push_back(menu[i].Caption);
    }
    return captions;
}

TEST(StartUp, StartStateWithoutSettingsFile) {
    FakeMonitor f;
    f.m.s.conn.Online = true;  // whatever ran before, start-up sets every field anew
    f.Run(StartUp(f.m));
    const MainState& s = f.m.s;

    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{FirstRunMessage});
    EXPECT_TRUE(std::filesystem::is_directory(f.dir.path() / "log"));
    EXPECT_TRUE(std::filesystem::is_directory(f.dir.path() / "syslog"));
    EXPECT_EQ(s.AppDir, f.dir.path());
    EXPECT_EQ(s.VersionText, "2.04");
    EXPECT_TRUE(s.settings.NoUtility);
    EXPECT_EQ(s.settings.RedialCount, 255);
    EXPECT_EQ(s.redial.RedialLeft, 0);
    EXPECT_EQ(s.settings.ConnectTimeout, "60");
    EXPECT_FALSE(s.settings.MultiAccount);
    EXPECT_FALSE(s.conn.Online);
    EXPECT_TRUE(s.conn.SoundAfterPending);
    EXPECT_TRUE(s.schedule.ConnectArmed && s.schedule.DisconnectArmed);
    EXPECT_EQ(std::string(UtilityWindows[1]), "Ｒｏｕｔａｖｉｓｔａ４ セットアップユーティリティー");
    EXPECT_EQ(std::string(UtilityWindows[7]), "Ｒｏｕｔａｖｉｓｔａ  Optional Tools");
    EXPECT_EQ(std::string(UtilityWindows[8]), UtilityWindows[5]);
    EXPECT_EQ((std::array{s.router.RouterIp1, s.router.RouterIp2, s.router.RouterIp3, s.router.RouterIp4}),
              (std::array<std::uint16_t, 4>{192, 168, 0, 1}));

    const ViewModel& v = f.m.view;
    EXPECT_FALSE(v.Panel.Shown);
    EXPECT_EQ(v.Panel.Caption, "未接続");
    EXPECT_EQ(s.panel.Left, 0);
    EXPECT_EQ(v.Tray.Tip, "Routavista Monitor");
    EXPECT_EQ(v.Tray.Balloon, FirstStartBalloon);
    EXPECT_EQ(v.Tray.LeftButton, PopupMenu::ConnectMenu);
    EXPECT_EQ(v.Tray.RightButton, PopupMenu::MainMenu);
    EXPECT_FALSE(v.Menu[Item::DisconnectAfterDownload].Enabled);
    EXPECT_FALSE(v.Menu[Item::CopyAddress].Enabled);
    EXPECT_TRUE(v.Menu[Item::ShowSyslog].Visible);
    EXPECT_FALSE(v.Menu[Item::ShowHistoryGraph].Visible);
    EXPECT_FALSE(v.Menu[Item::SendHistoryLog].Visible);
    EXPECT_EQ(Shown(v.Menu, ItemsOf(PopupMenu::MainMenu)),
              (std::vector<std::string>{"設定", "メモ送信", "SysLogを表示", "-", "ﾍﾙﾌﾟ", "ﾊﾞｰｼﾞｮﾝ情報", "-",
                                        "終了"}));
}

TEST(StartUp, StartStateFromASettingsFile) {
    FakeMonitor f;
    std::string file = "Routavista Monitor Ver2.04\r\n";
    const std::vector<std::string> values{
        "D:\\u.exe", "10.1.2.3", "", "40", "50", "off", "00:00", "off", "00:00", "60", "on", "on", "on", "off",
        "off", "", "", "", "", "", "off", "on", "on", "30", "", "on", "off", "", "on", "pc", "3", "A", "B", "C"};
    for (const std::string& value : values) file += "[x]\r\n" + value + "\r\n";
    WriteBytes(f.dir.path() / "RMonitor.ini", file);
    f.Run(StartUp(f.m));
    const MainState& s = f.m.s;

    EXPECT_TRUE(f.dialogs.messages.empty());  // no first-run message
    EXPECT_TRUE(f.m.view.Tray.Balloon.empty());
    EXPECT_EQ(s.settings.RouterAddress, "10.1.2.3");
    EXPECT_EQ((std::array{s.router.RouterIp1, s.router.RouterIp2, s.router.RouterIp3, s.router.RouterIp4}),
              (std::array<std::uint16_t, 4>{10, 1, 2, 3}));
    EXPECT_EQ(s.panel.Left, 40);
    EXPECT_EQ(s.panel.Top, 50);
    EXPECT_EQ(s.redial.RedialLeft, 3);
    EXPECT_EQ(f.m.view.Tray.LeftButton, PopupMenu::MainMenu);
    EXPECT_FALSE(f.m.view.Menu[Item::ShowSyslog].Visible);
    EXPECT_EQ(Shown(f.m.view.Menu, ItemsOf(PopupMenu::ConnectMenu)),
              (std::vector<std::string>{"ポート1接続", "ポート1切断", "-", "ポート2接続", "ポート2切断", "-",
                                        "リセット", "-", "ﾀﾞｳﾝﾛｰﾄﾞ後切断", "IPｱﾄﾞﾚｽをｺﾋﾟｰ"}));
    EXPECT_EQ(f.m.view.Menu[Item::ConnectIsp3].Caption, "C 接続");
    // The master announces itself to the file's subnet.
    EXPECT_EQ(f.net.sent, (std::vector<SentDatagram>{
                              {Endpoint::Peers, "10.1.2.255", "RMonitor Master Connected"}}));
}

TEST(StartUp, AnnouncesTheCopyToTheRouterSubnet) {
    FakeMonitor f;
    f.Run(StartUp(f.m));
    EXPECT_EQ(f.net.sent, (std::vector<SentDatagram>{
                              {Endpoint::Peers, "192.168.0.255", "RMonitor Master Check"}}));

    FakeMonitor master;
    master.Run(StartUp(master.m));
    master.net.sent.clear();
    master.m.s.settings.MasterMode = true;
    // The save at exit takes the address again before the goodbye.
    master.m.s.settings.RouterAddress = "10.1.20.1";
    ShutDown(master.m);
    EXPECT_EQ(master.net.sent.back(),
              (SentDatagram{Endpoint::Peers, "10.1.20.255", "RMonitor Master DisConnected"}));
}

TEST(StartUp, HistoryViewerItemFollowsTheProgramFile) {
    FakeMonitor f;
    std::ofstream(f.dir.path() / "RMView.exe") << "x";
    f.Run(StartUp(f.m));
    EXPECT_TRUE(f.m.view.Menu[Item::ShowHistoryGraph].Visible);
}

TEST(ConnectMenuShape, OnePortTwoPortsAndMultiAccount) {
    FakeMonitor onePort;
    onePort.Run(StartUp(onePort.m));
    EXPECT_EQ(Shown(onePort.m.view.Menu, ItemsOf(PopupMenu::ConnectMenu)),
              (std::vector<std::string>{"接続", "切断", "-", "リセット", "-", "ﾀﾞｳﾝﾛｰﾄﾞ後切断",
                                        "IPｱﾄﾞﾚｽをｺﾋﾟｰ"}));

    FakeMonitor twoPorts;
    twoPorts.m.s.settings.UsePort2 = true;
    ApplyConnectMenuShape(twoPorts.m);
    EXPECT_EQ(Shown(twoPorts.m.view.Menu, ItemsOf(PopupMenu::ConnectMenu)),
              (std::vector<std::string>{"ポート1接続", "ポート1切断", "-", "ポート2接続", "ポート2切断",
                                        "-", "リセット", "-", "ﾀﾞｳﾝﾛｰﾄﾞ後切断", "IPｱﾄﾞﾚｽをｺﾋﾟｰ"}));

    FakeMonitor multi;
    multi.m.s.settings.UsePort2 = true;  // multi-account wins over two ports
    multi.m.s.settings.MultiAccount = true;
    multi.m.s.settings.IspName1 = "ぷらら";
    multi.m.s.settings.IspName2 = "OCN";
    multi.m.s.settings.IspName3 = "Biglobe";
    ApplyConnectMenuShape(multi.m);
    EXPECT_FALSE(multi.m.s.settings.UsePort2);
    EXPECT_EQ(Shown(multi.m.view.Menu, ItemsOf(PopupMenu::ConnectMenu)),
              (std::vector<std::string>{"ぷらら 接続", "OCN 接続", "Biglobe 接続", "切断", "-", "リセット",
                                        "-", "ﾀﾞｳﾝﾛｰﾄﾞ後切断", "IPｱﾄﾞﾚｽをｺﾋﾟｰ"}));

    FakeMonitor notQuiteOn;
    notQuiteOn.m.s.settings.MultiAccount = IsOn("On");
    ApplyConnectMenuShape(notQuiteOn.m);
    EXPECT_EQ(notQuiteOn.m.view.Menu[Item::ConnectPort1].Caption, "接続");
    EXPECT_FALSE(notQuiteOn.m.view.Menu[Item::ConnectIsp3].Visible);
}

TEST(LaunchMenu, OnlyEntriesWithATitleAreShown) {
    FakeMonitor f;
    f.m.s.launcher.LaunchEntries[0].Title = "メール";
    f.m.s.launcher.LaunchEntries[2].ProgramFile = "C:\\x.exe";  // a program without a title stays hidden
    RefreshLaunchMenu(f.m);
    EXPECT_TRUE(f.m.view.Menu[Item::Launch1].Visible);
    EXPECT_EQ(f.m.view.Menu[Item::Launch1].Caption, "メール");
    EXPECT_FALSE(f.m.view.Menu[Item::Launch3].Visible);
    // The separator below the items; without any (StartUp) there is none.
    EXPECT_TRUE(f.m.view.Menu[Item::SeparatorAfterLaunchers].Visible);
}

TEST(RouterAddress, FourDecimalPartsUpTo255AndNothingElse) {
    using Parts = std::array<std::uint8_t, 4>;
    EXPECT_EQ(ParseIpv4Address("192.168.0.1"), (Parts{192, 168, 0, 1}));
    EXPECT_EQ(ParseIpv4Address("255.255.255.255"), (Parts{255, 255, 255, 255}));
    EXPECT_EQ(ParseIpv4Address("010.0.00.1"), (Parts{10, 0, 0, 1}));
    for (const char* bad : {"300.1.1.1", "192.168.1", "router.lan", "192.168..1", "192.168.0.1.5", "192.168.0.1.",
                            "192.168.0.x", "", "-1.0.0.1", "+1.0.0.1", "1.0.0.1 ", "1. 0.0.1", "0001.0.0.1",
                            "1.0.0.256", "１.2.3.4"}) {
        EXPECT_EQ(ParseIpv4Address(bad), std::nullopt) << bad;
    }
}

// The start takes exactly what the dialog saves: no address is saved that
// the next start would put aside.
TEST(RouterAddress, TheStartAndTheDialogTakeTheSameAddresses) {
    for (const char* address : {"10.1.2.3", "192.168.0.1.9", "300.1.1.1", "192.168.1", "router.lan", "10.0.0.1 "}) {
        SCOPED_TRACE(address);
        FakeMonitor started;
        started.m.s.settings.RouterAddress = address;
        ApplyRouterAddress(started.m);
        FakeMonitor saved;
        SettingsForm form = FillSettingsForm(saved.m);
        form.RouterAddress = address;
        EXPECT_EQ(started.dialogs.messages.empty(), static_cast<bool>(SaveSettingsForm(saved.m, form)));
    }
}

TEST(RouterAddress, BadAddressFallsBackWithAMessage) {
    for (const char* bad : {"192.168.1", "router.lan", "300.1.1.1", "192.168.0.1.9"}) {
        FakeMonitor f;
        f.m.s.settings.RouterAddress = bad;
        f.m.s.router.RouterIp1 = 7;
        ApplyRouterAddress(f.m);
        EXPECT_EQ(f.dialogs.messages,
                  std::vector<std::string>{"RV4のIPアドレス指定に失敗したのでデフォルト値を設定しました"});
        EXPECT_EQ(f.m.s.settings.RouterAddress, bad);
        EXPECT_EQ((std::array{f.m.s.router.RouterIp1, f.m.s.router.RouterIp2, f.m.s.router.RouterIp3, f.m.s.router.RouterIp4}),
                  (std::array<std::uint16_t, 4>{192, 168, 0, 1}));
    }
    FakeMonitor good;
    good.m.s.settings.RouterAddress = "10.20.30.40";
    ApplyRouterAddress(good.m);
    EXPECT_TRUE(good.dialogs.messages.empty());
    EXPECT_EQ(good.m.s.router.RouterIp4, 40);
}

// A cut settings file was read as far as it went, without a word before.
TEST(StartUp, SaysOnceThatSettingsWereResetAndWhereTheOldFileIs) {
    FakeMonitor f;
    WriteBytes(f.dir.path() / "RMonitor.ini", "Routavista Monitor Ver2.04\r\n[x]\r\nD:\\u.exe\r\n[x]\r\n10.0.0.1\r\n");
    f.Run(StartUp(f.m));
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_NE(f.dialogs.messages[0].find("基本設定ファイルを最後まで読み込めなかった"), std::string::npos);
    EXPECT_NE(f.dialogs.messages[0].find(PathText(f.dir.path() / "RMonitor.ini.bak")), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(f.dir.path() / "RMonitor.ini.bak"));
    ShutDown(f.m);
    EXPECT_EQ(f.dialogs.messages.size(), 1u);
}

TEST(ShutDown, ClosesLauncherHandlesButOnlyTheOpenOnes) {
    FakeMonitor f;
    f.Run(StartUp(f.m));
    f.m.s.launcher.LaunchProcesses = {0, 11, 0, 0, 12, 0};
    ShutDown(f.m);
    EXPECT_EQ(f.programs.closed, (std::vector<ProcessHandle>{11, 12}));
    EXPECT_EQ(f.m.s.launcher.LaunchProcesses, (std::array<ProcessHandle, 6>{}));
    EXPECT_EQ(f.net.sent.size(), 1u);  // not the master: no goodbye
}

}  // namespace
}  // namespace rm::test
