#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/startup.h"
#include "fakes.h"
#include "form/settings_form.h"
#include "form/settings_save.h"
#include "launcher/launch_menu.h"
#include "settings/launcher_file.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "settings_samples.h"
#include "state/settings_controls.h"
#include "text/cp932.h"

namespace rm {
namespace {

using test::FakeMonitor;
using test::ReadBytes;

// The file's lines, as text.
std::vector<std::string> Lines(const std::filesystem::path& file) {
    const std::string text = Cp932ToUtf8(ReadBytes(file));
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (std::size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        lines.push_back(text.substr(pos, end - pos));
    }
    return lines;
}

// The value line of pair 1..34 in RMonitor.ini.
std::string Saved(FakeMonitor& f, int pair) {
    const std::vector<std::string> lines = Lines(f.m.s.AppDir / SettingsFileName);
    return static_cast<std::size_t>(2 * pair) < lines.size() ? lines[2 * static_cast<std::size_t>(pair)] : "<none>";
}

bool SettingsWritten(FakeMonitor& f) { return std::filesystem::exists(f.m.s.AppDir / SettingsFileName); }

// "設定" pressed in a dialog filled from the running state, after one change.
SaveResult SaveWith(FakeMonitor& f, const std::function<void(SettingsForm&)>& change) {
    SettingsForm form = FillSettingsForm(f.m);
    change(form);
    return SaveSettingsForm(f.m, form);
}

// The whole settings side of the running state, as a save would write it.
std::string StateText(const Monitor& m) { return SettingsFileText({m.s.settings, m.s.panel}, m.s.VersionText); }

const std::string& Caption(FakeMonitor& f, Item i) { return f.m.view.Menu[i].Caption; }
bool Visible(FakeMonitor& f, Item i) { return f.m.view.Menu[i].Visible; }

TEST(SettingsFormFill, ShowsEveryValueOfTheRunningState) {
    FakeMonitor f;
    Settings& s = f.m.s.settings;
    s = {.UtilityPath = "D:\\util.exe", .RouterAddress = "10.0.0.1", .AutoConnect = true, .ConnectTime = "07:05",
         .AutoDisconnect = false, .DisconnectTime = "23:59", .ConnectTimeout = "90", .UsePort2 = true,
         .SyslogSimple = false, .SyslogAddTime = true, .SyslogAutoSave = false, .UseDialUpWatcher = true,
         .DialUpWatcherPath = "D:\\dw.exe", .DialUpWatcherName1 = "a", .DialUpWatcherName2 = "b",
         .ConnectSound = "c.wav", .DisconnectSound = "d.wav", .SyslogEnabled = "on", .SyslogLineBreaks = false,
         .TraySwap = true, .SoundAfterMinutes = "15", .SoundAfterFile = "r.wav", .NoUtility = true,
         .MultiAccount = true, .DialUpWatcherName3 = "c", .MasterMode = true, .NickName = "pc", .RedialCount = 3,
         .IspName1 = "A", .IspName2 = "B", .IspName3 = "C", .RouterSendersOnly = true};
    f.m.s.launcher.LaunchEntries[2].Title = "メール";
    const SettingsForm form = FillSettingsForm(f.m);
    EXPECT_EQ(form.UtilityPath, "D:\\util.exe");
    EXPECT_EQ(form.RouterAddress, "10.0.0.1");
    EXPECT_TRUE(form.AutoConnect);
    EXPECT_EQ(form.ConnectHour, 7);
    EXPECT_EQ(form.ConnectMinute, 5);
    EXPECT_FALSE(form.AutoDisconnect);
    EXPECT_EQ(form.DisconnectHour, 23);
    EXPECT_EQ(form.DisconnectMinute, 59);
    EXPECT_TRUE(form.UsePort2);
    EXPECT_TRUE(form.SyslogEnabled);
    EXPECT_TRUE(form.SyslogBoxesEnabled);
    EXPECT_FALSE(form.SyslogSimple);
    EXPECT_TRUE(form.SyslogAddTime);
    EXPECT_FALSE(form.SyslogAutoSave);
    EXPECT_FALSE(form.SyslogLineBreaks);
    EXPECT_TRUE(form.TraySwap);
    EXPECT_TRUE(form.NoUtility);
    EXPECT_TRUE(form.MultiAccountVisible);
    EXPECT_TRUE(form.MultiAccount);
    EXPECT_EQ(form.LaunchTitles[2], "メール");
    EXPECT_TRUE(form.UseDialUpWatcher);
    EXPECT_TRUE(form.DialUpWatcherEnabled);
    EXPECT_EQ(form.DialUpWatcherPath, "D:\\dw.exe");
    EXPECT_EQ(form.DialUpWatcherName1 + form.DialUpWatcherName2 + form.DialUpWatcherName3, "abc");
    EXPECT_EQ(form.ConnectSound, "c.wav");
    EXPECT_EQ(form.DisconnectSound, "d.wav");
    EXPECT_EQ(form.SoundAfterFile, "r.wav");
    EXPECT_EQ(form.SoundAfterMinutes, "15");
    EXPECT_TRUE(form.MasterMode);
    EXPECT_EQ(form.NickName, "pc");
    EXPECT_TRUE(form.AutoRedial);
    EXPECT_TRUE(form.RouterSendersOnly);
    EXPECT_EQ(form.IspName1 + form.IspName2 + form.IspName3, "ABC");
}

TEST(SettingsFormFill, SwitchedOffSyslogAndDialUpWatcherDisableTheirControls) {
    FakeMonitor f;
    f.m.s.settings.SyslogEnabled = "On";  // not exactly "on"
    f.m.s.settings.UseDialUpWatcher = false;
    const SettingsForm form = FillSettingsForm(f.m);
    EXPECT_FALSE(form.SyslogEnabled);
    EXPECT_FALSE(form.SyslogBoxesEnabled);
    EXPECT_TRUE(form.SyslogSimple);  // the marks stay
    EXPECT_FALSE(form.UseDialUpWatcher);
    EXPECT_FALSE(form.DialUpWatcherEnabled);
}

TEST(SettingsFormFill, AHandEditedTimeShowsWhatTheSpinEditsCanHold) {
    FakeMonitor f;
    f.m.s.settings.ConnectTime = "7:5";
    f.m.s.settings.DisconnectTime = "99:99";
    const SettingsForm form = FillSettingsForm(f.m);
    EXPECT_EQ(form.ConnectHour, 0);
    EXPECT_EQ(form.ConnectMinute, 0);
    EXPECT_EQ(form.DisconnectHour, 23);
    EXPECT_EQ(form.DisconnectMinute, 59);
}

TEST(SettingsFormBoxes, CheckBoxesEnableTheirControlsAndNoUtilityWarnsOncePerCheck) {
    FakeMonitor f;
    f.m.s.settings.NoUtility = false;
    f.m.s.settings.MultiAccount = true;
    SettingsForm form = FillSettingsForm(f.m);
    // Filling ran the unchecking branch without a message; MultiAccount keeps its mark, hidden.
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_FALSE(form.NoUtility);
    EXPECT_FALSE(form.MultiAccountVisible);
    EXPECT_TRUE(form.MultiAccount);

    form.NoUtility = true;
    NoUtilityToggled(form, f.dialogs);
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{RiskWarning});
    EXPECT_TRUE(form.MultiAccountVisible);
    form.NoUtility = false;
    NoUtilityToggled(form, f.dialogs);
    EXPECT_FALSE(form.MultiAccountVisible);
    EXPECT_FALSE(form.MultiAccount);
    EXPECT_EQ(f.dialogs.messages.size(), 1u);

    form.SyslogEnabled = false;
    SyslogEnabledToggled(form);
    EXPECT_FALSE(form.SyslogBoxesEnabled);
    form.UseDialUpWatcher = true;
    UseDialUpWatcherToggled(form);
    EXPECT_TRUE(form.DialUpWatcherEnabled);
}

TEST(SettingsFormBrowse, UtilityPathKeepsTheFilterOfTheLastBrowse) {
    SettingsForm form;
    EXPECT_EQ(BrowseFilter(form, BrowseButton::UtilityPath), "");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::DialUpWatcherPath), "Dial-Up Watcherファイル |dwctrl32.exe");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::ConnectSound), "wavファイル |*.wav");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::UtilityPath), "wavファイル |*.wav");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::DisconnectSound), "wavファイル |*.wav");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::SoundAfterFile), "wavファイル |*.wav");
    // A new dialog starts without one.
    SettingsForm next;
    EXPECT_EQ(BrowseFilter(next, BrowseButton::UtilityPath), "");
}

TEST(SettingsSave, EqualTimesAreRefusedOnlyWithBothScheduleBoxes) {
    FakeMonitor f;
    SettingsForm form = FillSettingsForm(f.m);
    form.AutoConnect = form.AutoDisconnect = true;
    form.ConnectHour = form.DisconnectHour = 7;
    form.ConnectMinute = form.DisconnectMinute = 5;
    form.NickName = "changed";
    f.m.s.schedule = {false, false};
    EXPECT_FALSE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{EqualTimesMessage});
    EXPECT_FALSE(f.m.s.settings.AutoConnect);
    EXPECT_EQ(f.m.s.settings.ConnectTime, "00:00");
    EXPECT_EQ(f.m.s.settings.NickName, "");
    EXPECT_FALSE(f.m.s.schedule.ConnectArmed);
    EXPECT_FALSE(SettingsWritten(f));

    for (const bool autoConnect : {true, false}) {
        FakeMonitor one;
        form.AutoConnect = autoConnect;
        form.AutoDisconnect = !autoConnect;
        EXPECT_TRUE(SaveSettingsForm(one.m, form));
        EXPECT_TRUE(one.dialogs.messages.empty());
        EXPECT_EQ(Saved(one, 7), "07:05");
        EXPECT_EQ(Saved(one, 9), "07:05");
        EXPECT_EQ(Saved(one, 6), autoConnect ? "on" : "off");
        EXPECT_EQ(Saved(one, 8), autoConnect ? "off" : "on");
    }
}

TEST(SettingsSave, TimesGetTwoDigitsAndBothScheduledActionsAreArmedAgain) {
    FakeMonitor f;
    f.m.s.schedule = {false, false};
    SettingsForm form = FillSettingsForm(f.m);
    form.ConnectHour = 7;
    form.ConnectMinute = 5;
    form.DisconnectHour = 12;
    form.DisconnectMinute = 0;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(f.m.s.settings.ConnectTime, "07:05");
    EXPECT_EQ(f.m.s.settings.DisconnectTime, "12:00");
    EXPECT_TRUE(f.m.s.schedule.ConnectArmed);
    EXPECT_TRUE(f.m.s.schedule.DisconnectArmed);
    EXPECT_EQ(TimeText(0, 59), "00:59");
}

TEST(SettingsSave, TheRouterAddressIsFourNumbersUpTo255) {
    for (const char* address : {"10.1.2.3", "255.255.255.255", "0.0.0.0", "192.168.000.001"}) {
        SCOPED_TRACE(address);
        FakeMonitor f;
        EXPECT_TRUE(SaveWith(f, [&](SettingsForm& form) { form.RouterAddress = address; }));
        EXPECT_EQ(Saved(f, 2), address);
        EXPECT_TRUE(f.dialogs.messages.empty());
    }
    FakeMonitor f;
    SettingsForm form = FillSettingsForm(f.m);
    form.RouterAddress = "010.001.002.003";
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    const RouterLink& r = f.m.s.router;
    EXPECT_EQ((std::array<std::uint16_t, 4>{r.RouterIp1, r.RouterIp2, r.RouterIp3, r.RouterIp4}),
              (std::array<std::uint16_t, 4>{10, 1, 2, 3}));

    for (const char* address : {"192.168.0.1.9", "300.1.1.1", "192.168.0", "10.x.0.1", "10.0.0.", "", "10.0.0.-1",
                                "10.0.0.+1", " 10.0.0.1", "10.0.0.1 ", "１０.0.0.1", "10..0.1", "1.2.3.0001"}) {
        SCOPED_TRACE(address);
        FakeMonitor refused;
        EXPECT_EQ(SaveWith(refused, [&](SettingsForm& form) { form.RouterAddress = address; }).Refused,
                  IDC_OPT_ROUTER_ADDRESS);
        EXPECT_EQ(refused.dialogs.messages, std::vector<std::string>{InvalidAddressMessage});
        EXPECT_EQ(refused.m.s.settings.RouterAddress, "192.168.0.1");
        EXPECT_FALSE(SettingsWritten(refused));
    }
}

// Every check of the save, each with a form that changes everything else too:
// the refusal is told, names its control, and nothing at all has changed.
TEST(SettingsSave, ARefusedSaveChangesNothing) {
    struct Refused {
        const char* what;
        std::function<void(SettingsForm&)> spoil;
        int control;
        std::string message;
    };
    const std::vector<Refused> cases{
        {"equal times",
         [](SettingsForm& f) {
             f.AutoConnect = f.AutoDisconnect = true;
             f.ConnectHour = f.DisconnectHour = 7;
             f.ConnectMinute = f.DisconnectMinute = 5;
         },
         IDC_OPT_DISCONNECT_HOUR, EqualTimesMessage},
        {"address", [](SettingsForm& f) { f.RouterAddress = "192.168.0.1.9"; }, IDC_OPT_ROUTER_ADDRESS,
         InvalidAddressMessage},
        {"minutes", [](SettingsForm& f) { f.SoundAfterMinutes = "30分"; }, IDC_OPT_SOUND_AFTER_MINUTES,
         "サウンドの「分経過時」には 0 から 1439 までの整数を入力してください。"},
        {"characters", [](SettingsForm& f) { f.ConnectSound = "C:\\José\\on.wav"; }, IDC_OPT_CONNECT_SOUND,
         "「サウンドの接続時」に、ファイルに保存できない文字「é」があります。\r"
         "この文字を使わずに入力し直してください。"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMonitor f;
        f.m.s.router = {7, 7, 7, 7};
        f.m.s.schedule = {false, false};
        f.m.view.Viewer.Lines = {"a line"};
        f.m.s.launcher.LaunchEntries[0].Title = "メール";
        RefreshLaunchMenu(f.m);
        const MainState before = f.m.s;
        const ViewModel shown = f.m.view;
        SettingsForm form = FillSettingsForm(f.m);
        form.SyslogEnabled = false;
        form.TraySwap = form.UsePort2 = form.MasterMode = true;
        form.AutoRedial = true;
        form.LaunchTitles[0] = "";
        form.RouterAddress = "10.0.0.9";
        form.IspName1 = "ぷらら";
        c.spoil(form);

        EXPECT_EQ(SaveSettingsForm(f.m, form).Refused, c.control);
        EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(StateText(f.m), SettingsFileText({before.settings, before.panel}, before.VersionText));
        EXPECT_EQ(f.m.s.launcher.LaunchEntries, before.launcher.LaunchEntries);
        EXPECT_EQ(f.m.s.redial.RedialLeft, before.redial.RedialLeft);
        EXPECT_FALSE(f.m.s.schedule.ConnectArmed || f.m.s.schedule.DisconnectArmed);
        const RouterLink& r = f.m.s.router;
        EXPECT_EQ((std::array<std::uint16_t, 4>{r.RouterIp1, r.RouterIp2, r.RouterIp3, r.RouterIp4}),
                  (std::array<std::uint16_t, 4>{7, 7, 7, 7}));
        EXPECT_EQ(f.m.view.Viewer.Lines, shown.Viewer.Lines);
        EXPECT_TRUE(f.m.view.Viewer.Exists);
        EXPECT_EQ(f.m.view.Tray.LeftButton, shown.Tray.LeftButton);
        for (const Item i :
             {Item::ShowSyslog, Item::ConnectPort1, Item::DisconnectPort1, Item::ConnectPort2, Item::Launch1}) {
            EXPECT_EQ(Visible(f, i), shown.Menu[i].Visible);
            EXPECT_EQ(Caption(f, i), shown.Menu[i].Caption);
        }
        EXPECT_FALSE(SettingsWritten(f));
        EXPECT_FALSE(std::filesystem::exists(f.m.s.AppDir / LauncherFileName));
    }
}

TEST(SettingsSave, TheMinutesMustBeAWholeNumberOfADay) {
    for (const char* minutes : {"0", "30", "1439", "090"}) {
        SCOPED_TRACE(minutes);
        FakeMonitor f;
        EXPECT_TRUE(SaveWith(f, [&](SettingsForm& form) { form.SoundAfterMinutes = minutes; }));
        EXPECT_EQ(Saved(f, 24), minutes);
    }
    for (const char* minutes : {"", "1440", "-1", "+5", "2.5", " 5", "１０", "abc", "99999999999"}) {
        SCOPED_TRACE(minutes);
        FakeMonitor f;
        EXPECT_EQ(SaveWith(f, [&](SettingsForm& form) { form.SoundAfterMinutes = minutes; }).Refused,
                  IDC_OPT_SOUND_AFTER_MINUTES);
        EXPECT_EQ(f.m.s.settings.SoundAfterMinutes, "30");
        EXPECT_FALSE(SettingsWritten(f));
    }
}

// Shift-JIS would keep a look-alike or "?" instead: the user is told which
// field holds the character, by the label the dialog shows it under.
TEST(SettingsSave, TextsTheFilesCannotHoldAreRefusedByTheirLabel) {
    struct Text {
        std::string SettingsForm::*field;
        int control;
        std::string label;
    };
    const std::vector<Text> texts{
        {&SettingsForm::UtilityPath, IDC_OPT_UTILITY_PATH, "Routavistaユーティリティの場所"},
        {&SettingsForm::NickName, IDC_OPT_NICK_NAME, "パソコンのニックネーム"},
        {&SettingsForm::DialUpWatcherPath, IDC_OPT_DIAL_UP_WATCHER_PATH,
         "Dial-Up Watcher構成ファイル「dwctrl32.exe」の場所"},
        {&SettingsForm::DialUpWatcherName1, IDC_OPT_DIAL_UP_WATCHER_NAME1, "登録アクセスポイントの名称 ISP１"},
        {&SettingsForm::DialUpWatcherName2, IDC_OPT_DIAL_UP_WATCHER_NAME2, "登録アクセスポイントの名称 ISP２"},
        {&SettingsForm::DialUpWatcherName3, IDC_OPT_DIAL_UP_WATCHER_NAME3, "登録アクセスポイントの名称 ISP３"},
        {&SettingsForm::ConnectSound, IDC_OPT_CONNECT_SOUND, "サウンドの接続時"},
        {&SettingsForm::DisconnectSound, IDC_OPT_DISCONNECT_SOUND, "サウンドの切断時"},
        {&SettingsForm::SoundAfterFile, IDC_OPT_SOUND_AFTER_FILE, "サウンドの分経過時"},
        {&SettingsForm::IspName1, IDC_OPT_ISP_NAME1, "ISP1 の名称"},
        {&SettingsForm::IspName2, IDC_OPT_ISP_NAME2, "ISP2 の名称"},
        {&SettingsForm::IspName3, IDC_OPT_ISP_NAME3, "ISP3 の名称"},
    };
    const auto message = [](const std::string& label, const std::string& character) {
        return "「" + label + "」に、ファイルに保存できない文字「" + character +
               "」があります。\rこの文字を使わずに入力し直してください。";
    };
    for (const Text& t : texts) {
        SCOPED_TRACE(t.label);
        FakeMonitor f;
        EXPECT_EQ(SaveWith(f, [&](SettingsForm& form) { form.*t.field = "𠮷野家"; }).Refused, t.control);
        EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{message(t.label, "𠮷")});
        EXPECT_FALSE(SettingsWritten(f));
    }
    for (std::size_t i = 0; i < 6; ++i) {
        FakeMonitor f;
        EXPECT_EQ(SaveWith(f, [&](SettingsForm& form) { form.LaunchTitles[i] = "¥100ショップ"; }).Refused,
                  IDC_OPT_LAUNCH_TITLE1 + static_cast<int>(i));
        EXPECT_EQ(f.dialogs.messages,
                  std::vector<std::string>{message("ランチャーのタイトル" + std::to_string(i + 1), "¥")});
        EXPECT_FALSE(std::filesystem::exists(f.m.s.AppDir / LauncherFileName));
    }

    // What Shift-JIS holds is saved as it was typed.
    FakeMonitor f;
    ASSERT_TRUE(SaveWith(f, [](SettingsForm& form) { form.NickName = "ﾀﾛｳ①～ＰＣ\\"; }));
    EXPECT_EQ(Saved(f, 30), "ﾀﾛｳ①～ＰＣ\\");
}

TEST(SettingsSave, MultiAccountCountsOnlyWithNoUtility) {
    FakeMonitor f;
    f.m.s.settings.MultiAccount = true;
    f.m.s.settings.NoUtility = false;
    SettingsForm form = FillSettingsForm(f.m);
    ASSERT_TRUE(form.MultiAccount);
    ASSERT_FALSE(form.MultiAccountVisible);
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_FALSE(f.m.s.settings.MultiAccount);
    EXPECT_EQ(Saved(f, 27), "off");
    EXPECT_EQ(Saved(f, 26), "off");
    EXPECT_EQ(Caption(f, Item::ConnectPort1), "接続");
    EXPECT_FALSE(Visible(f, Item::ConnectIsp3));

    // Checked again by the user: the warning, then multi-account mode.
    form.NoUtility = true;
    NoUtilityToggled(form, f.dialogs);
    form.UsePort2 = true;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(Saved(f, 27), "on");
    EXPECT_EQ(Saved(f, 11), "off");
    EXPECT_FALSE(f.m.s.settings.UsePort2);
    // Unchecking NoUtility clears MultiAccount for good.
    form.NoUtility = false;
    NoUtilityToggled(form, f.dialogs);
    form.NoUtility = true;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(Saved(f, 27), "off");
}

TEST(SettingsSave, TheConnectMenuTakesTheArrangementOfTheFirstCaseThatApplies) {
    FakeMonitor f;
    f.m.view.Menu[Item::ConnectPort1].Enabled = false;  // as a connect leaves it
    SettingsForm form = FillSettingsForm(f.m);
    form.IspName1 = "ぷらら";
    form.IspName2 = "OCN";
    form.IspName3 = "";
    form.NoUtility = form.MultiAccount = form.UsePort2 = true;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(Caption(f, Item::ConnectPort1), "ぷらら 接続");
    EXPECT_TRUE(f.m.view.Menu[Item::ConnectPort1].Enabled);
    EXPECT_FALSE(Visible(f, Item::DisconnectPort1));
    EXPECT_FALSE(Visible(f, Item::SeparatorAfterPort1));
    EXPECT_EQ(Caption(f, Item::ConnectPort2), "OCN 接続");
    EXPECT_EQ(Caption(f, Item::DisconnectPort2), "切断");
    EXPECT_EQ(Caption(f, Item::ConnectIsp3), " 接続");
    for (const Item i : {Item::ConnectPort2, Item::DisconnectPort2, Item::SeparatorAfterPort2, Item::ConnectIsp3})
        EXPECT_TRUE(Visible(f, i));
    EXPECT_EQ(Saved(f, 34), "");  // an empty name is saved as it is
    EXPECT_EQ(f.m.s.settings.IspName1, "ぷらら");

    form.MultiAccount = false;
    f.m.view.Menu[Item::ConnectPort2].Enabled = false;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(Caption(f, Item::ConnectPort1), "ポート1接続");
    EXPECT_EQ(Caption(f, Item::DisconnectPort1), "ポート1切断");
    EXPECT_EQ(Caption(f, Item::ConnectPort2), "ポート2接続");
    EXPECT_EQ(Caption(f, Item::DisconnectPort2), "ポート2切断");
    EXPECT_TRUE(f.m.view.Menu[Item::ConnectPort2].Enabled);
    for (const Item i : {Item::DisconnectPort1, Item::SeparatorAfterPort1, Item::ConnectPort2, Item::DisconnectPort2,
                         Item::SeparatorAfterPort2})
        EXPECT_TRUE(Visible(f, i));
    EXPECT_FALSE(Visible(f, Item::ConnectIsp3));
    EXPECT_EQ(Saved(f, 11), "on");
    EXPECT_EQ(Saved(f, 27), "off");

    form.UsePort2 = false;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(Caption(f, Item::ConnectPort1), "接続");
    EXPECT_EQ(Caption(f, Item::DisconnectPort1), "切断");
    for (const Item i : {Item::ConnectPort2, Item::DisconnectPort2, Item::SeparatorAfterPort2, Item::ConnectIsp3})
        EXPECT_FALSE(Visible(f, i));
    EXPECT_TRUE(Visible(f, Item::SeparatorAfterPort1));
    EXPECT_EQ(Saved(f, 11), "off");
}

TEST(SettingsSave, RedialBoxSavesThreeOr255AndResetsTheRedialsLeft) {
    FakeMonitor f;
    f.m.s.settings.RedialCount = 5;
    SettingsForm form = FillSettingsForm(f.m);
    EXPECT_TRUE(form.AutoRedial);
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(f.m.s.settings.RedialCount, 3);
    EXPECT_EQ(f.m.s.redial.RedialLeft, 3);
    EXPECT_EQ(Saved(f, 31), "3");
    form.AutoRedial = false;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(f.m.s.redial.RedialLeft, 255);
    EXPECT_EQ(Saved(f, 31), "255");
}

TEST(SettingsSave, SyslogRecordingSwitchesTheViewerAndItsMenuItem) {
    FakeMonitor f;
    f.m.view.Viewer.Shown = true;
    f.m.view.Viewer.Lines = {"a line"};
    SettingsForm form = FillSettingsForm(f.m);
    form.SyslogEnabled = false;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(f.m.s.settings.SyslogEnabled, "off");
    EXPECT_FALSE(Visible(f, Item::ShowSyslog));
    EXPECT_FALSE(f.m.view.Viewer.Shown);
    EXPECT_EQ(Saved(f, 21), "off");

    form.SyslogEnabled = true;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(f.m.s.settings.SyslogEnabled, "on");
    EXPECT_TRUE(Visible(f, Item::ShowSyslog));
    EXPECT_TRUE(f.m.view.Viewer.Exists);
    EXPECT_FALSE(f.m.view.Viewer.Shown);  // a new, empty window, not shown yet
    EXPECT_TRUE(f.m.view.Viewer.Lines.empty());

}

// A cut or hand-edited file may hold anything there: the box decides.
TEST(SettingsSave, TheSyslogBoxWritesOnOrOffWhateverTheFileHeld) {
    for (const char* stored : {"", "ON", "yes"}) {
        SCOPED_TRACE(stored);
        FakeMonitor f;
        f.m.s.settings.SyslogEnabled = stored;
        SettingsForm form = FillSettingsForm(f.m);
        ASSERT_FALSE(form.SyslogEnabled);
        ASSERT_TRUE(SaveSettingsForm(f.m, form));
        EXPECT_EQ(Saved(f, 21), "off");
        EXPECT_FALSE(Visible(f, Item::ShowSyslog));

        f.m.s.settings.SyslogEnabled = stored;
        form.SyslogEnabled = true;
        ASSERT_TRUE(SaveSettingsForm(f.m, form));
        EXPECT_EQ(Saved(f, 21), "on");
        EXPECT_TRUE(Visible(f, Item::ShowSyslog));
        EXPECT_TRUE(f.m.view.Viewer.Exists);
    }
}

TEST(SettingsSave, TrayMenusFollowTheTrayBox) {
    FakeMonitor f;
    SettingsForm form = FillSettingsForm(f.m);
    form.TraySwap = true;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(f.m.view.Tray.LeftButton, PopupMenu::MainMenu);
    EXPECT_EQ(f.m.view.Tray.RightButton, PopupMenu::ConnectMenu);
    EXPECT_EQ(Saved(f, 23), "on");
    form.TraySwap = false;
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    EXPECT_EQ(f.m.view.Tray.LeftButton, PopupMenu::ConnectMenu);
    EXPECT_EQ(Saved(f, 23), "off");
}

TEST(SettingsSave, AnEmptyTitleKeepsTheEntryButHidesItsItem) {
    FakeMonitor f;
    f.m.s.launcher.LaunchEntries[2] = {"メール", "C:\\mail.exe", "-x", "C:\\w", "on", "off"};
    RefreshLaunchMenu(f.m);
    SettingsForm form = FillSettingsForm(f.m);
    form.LaunchTitles[2] = "";
    form.LaunchTitles[5] = "時計";
    ASSERT_TRUE(SaveSettingsForm(f.m, form));
    const std::vector<std::string> lines = Lines(f.m.s.AppDir / LauncherFileName);
    ASSERT_EQ(lines.size(), 37u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 13, lines.begin() + 19),
              (std::vector<std::string>{"", "C:\\mail.exe", "-x", "C:\\w", "on", "off"}));
    EXPECT_EQ(lines[31], "時計");
    EXPECT_FALSE(Visible(f, Item::Launch3));
    EXPECT_TRUE(Visible(f, Item::Launch6));
    EXPECT_EQ(Caption(f, Item::Launch6), "時計");
}

// Every setting with a control in the table: a change there is what the
// file keeps, and nothing else changes.
TEST(SettingsSave, EveryControlReachesItsLineInTheFile) {
    struct Edit {
        std::function<void(SettingsForm&)> change;
        std::string saved;
    };
    const std::map<std::string, Edit> edits{
        {"UtilityPath", {[](SettingsForm& f) { f.UtilityPath = "E:\\u.exe"; }, "E:\\u.exe"}},
        {"RouterAddress", {[](SettingsForm& f) { f.RouterAddress = "10.0.0.2"; }, "10.0.0.2"}},
        {"AutoConnect", {[](SettingsForm& f) { f.AutoConnect = true; }, "on"}},
        {"ConnectHour", {[](SettingsForm& f) { f.ConnectMinute = 30; }, "00:30"}},
        {"AutoDisconnect", {[](SettingsForm& f) { f.AutoDisconnect = true; }, "on"}},
        {"DisconnectHour", {[](SettingsForm& f) { f.DisconnectHour = 9; }, "09:00"}},
        {"UsePort2", {[](SettingsForm& f) { f.UsePort2 = true; }, "on"}},
        {"SyslogSimple", {[](SettingsForm& f) { f.SyslogSimple = false; }, "off"}},
        {"SyslogAddTime", {[](SettingsForm& f) { f.SyslogAddTime = false; }, "off"}},
        {"SyslogAutoSave", {[](SettingsForm& f) { f.SyslogAutoSave = true; }, "on"}},
        {"UseDialUpWatcher", {[](SettingsForm& f) { f.UseDialUpWatcher = true; }, "on"}},
        {"DialUpWatcherPath", {[](SettingsForm& f) { f.DialUpWatcherPath = "dw.exe"; }, "dw.exe"}},
        {"DialUpWatcherName1", {[](SettingsForm& f) { f.DialUpWatcherName1 = "n1"; }, "n1"}},
        {"DialUpWatcherName2", {[](SettingsForm& f) { f.DialUpWatcherName2 = "n2"; }, "n2"}},
        {"ConnectSound", {[](SettingsForm& f) { f.ConnectSound = "c.wav"; }, "c.wav"}},
        {"DisconnectSound", {[](SettingsForm& f) { f.DisconnectSound = "d.wav"; }, "d.wav"}},
        {"SyslogEnabled", {[](SettingsForm& f) { f.SyslogEnabled = false; }, "off"}},
        {"SyslogLineBreaks", {[](SettingsForm& f) { f.SyslogLineBreaks = false; }, "off"}},
        {"TraySwap", {[](SettingsForm& f) { f.TraySwap = true; }, "on"}},
        {"SoundAfterMinutes", {[](SettingsForm& f) { f.SoundAfterMinutes = "45"; }, "45"}},
        {"SoundAfterFile", {[](SettingsForm& f) { f.SoundAfterFile = "r.wav"; }, "r.wav"}},
        {"NoUtility", {[](SettingsForm& f) { f.NoUtility = false; }, "off"}},
        {"MultiAccount", {[](SettingsForm& f) { f.MultiAccount = true; }, "on"}},
        {"DialUpWatcherName3", {[](SettingsForm& f) { f.DialUpWatcherName3 = "n3"; }, "n3"}},
        {"MasterMode", {[](SettingsForm& f) { f.MasterMode = true; }, "on"}},
        {"NickName", {[](SettingsForm& f) { f.NickName = "ぴーしー"; }, "ぴーしー"}},
        {"AutoRedial", {[](SettingsForm& f) { f.AutoRedial = true; }, "3"}},
        {"RouterSendersOnly", {[](SettingsForm& f) { f.RouterSendersOnly = true; }, "on"}},
        {"IspName1", {[](SettingsForm& f) { f.IspName1 = "I1"; }, "I1"}},
        {"IspName2", {[](SettingsForm& f) { f.IspName2 = "I2"; }, "I2"}},
        {"IspName3", {[](SettingsForm& f) { f.IspName3 = "I3"; }, "I3"}},
    };
    FakeMonitor unchanged;
    ASSERT_TRUE(SaveSettingsForm(unchanged.m, FillSettingsForm(unchanged.m)));
    std::size_t withControl = 0;
    for (const SettingRow& row : SettingsTable) {
        if (!row.Control) continue;
        ++withControl;
        SCOPED_TRACE(row.Control);
        const auto edit = edits.find(row.Control);
        ASSERT_NE(edit, edits.end());
        FakeMonitor f;
        SettingsForm form = FillSettingsForm(f.m);
        edit->second.change(form);
        ASSERT_TRUE(SaveSettingsForm(f.m, form));
        EXPECT_NE(Saved(unchanged, row.Pair), edit->second.saved);
        EXPECT_EQ(Saved(f, row.Pair), edit->second.saved);
        for (int other = 1; other <= SettingPairCount; ++other) {
            if (other != row.Pair) EXPECT_EQ(Saved(f, other), Saved(unchanged, other)) << "pair " << other;
        }
    }
    EXPECT_EQ(withControl, edits.size());
}

// The form filled from one state and saved into another, fresh one: each
// value the dialog shows arrives in the file as it was, by the table's copies
// and the rules beside them.
TEST(SettingsTableRows, EveryShownValueGoesThroughTheFormIntoTheFileUnchanged) {
    const Settings defaults;
    const PanelPosition panel;
    std::set<int> changed;
    for (const Settings& sample : test::SettingsUnlikeTheDefaults()) {
        FakeMonitor from;
        from.m.s.settings = sample;
        FakeMonitor to;
        ASSERT_TRUE(SaveSettingsForm(to.m, FillSettingsForm(from.m)));
        Settings read;
        PanelPosition readPanel;
        ASSERT_EQ(ApplySettingsText({read, readPanel}, ReadBytes(to.m.s.AppDir / SettingsFileName)),
                  SettingsRead::Complete);
        for (const SettingRow& row : SettingsTable) {
            if (!row.Control) continue;
            SCOPED_TRACE(row.Name);
            EXPECT_EQ(row.Write({read, readPanel}), row.Write({sample, panel}));
            if (row.Write({sample, panel}) != row.Write({defaults, panel})) changed.insert(row.Pair);
        }
    }
    for (const SettingRow& row : SettingsTable) {
        if (row.Control) EXPECT_TRUE(changed.count(row.Pair)) << row.Name << " kept its default in every sample";
    }
}

// The dialog finds a value's control and a refusal's focus by the row's id
// alone: two rows on one control would show or focus one value in another's
// place. Every edit's text can be refused, and the refusal names its edit.
TEST(SettingsTableRows, EachShownValueHasAControlOfItsOwn) {
    std::set<int> controls;
    for (const SettingRow& row : SettingsTable) {
        SCOPED_TRACE(row.Name);
        if (!row.Control) {
            EXPECT_EQ(row.ControlId, 0);
            continue;
        }
        EXPECT_TRUE(controls.insert(row.ControlId).second);
        EXPECT_LE(bool(row.FormText) + bool(row.FormCheck), 1);
        // The character check reads the edit's text.
        if (row.Caption) EXPECT_TRUE(row.FormText);
        if (!row.FormText) continue;
        FakeMonitor f;
        EXPECT_EQ(SaveWith(f, [&](SettingsForm& form) { form.*row.FormText = "𠮷"; }).Refused, row.ControlId);
    }
}

TEST(SettingsDialogOpening, TheMenuItemIsDisabledWhileTheDialogIsOpen) {
    FakeMonitor f;
    f.m.s.launcher.LaunchEntries[0].Title = "メール";
    bool enabledWhileOpen = true;
    f.dialogs.onSettingsDialog = [&](SettingsForm& form, SettingsFormEvents& events) {
        enabledWhileOpen = f.m.view.Menu[Item::OpenSettings].Enabled;
        events.TestSound("");
        events.TestSound(form.ConnectSound = "D:\\ding.wav");
        events.OpenLaunchEntryDialog(2, "");
        events.OpenLaunchEntryDialog(1, form.LaunchTitles[0]);
        form.NoUtility = false;
        events.NoUtilityToggled(form);
        form.RouterAddress = "bad";
        EXPECT_FALSE(events.SaveSettingsForm(form));
        form.RouterAddress = "192.168.0.1";
        form.NickName = "新しい名前";
        EXPECT_TRUE(events.SaveSettingsForm(form));
    };
    f.Run(MenuClick(f.m, Item::OpenSettings));
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(f.m.view.Menu[Item::OpenSettings].Enabled);
    ASSERT_EQ(f.dialogs.settingsForms.size(), 1u);
    EXPECT_EQ(f.dialogs.settingsForms[0].LaunchTitles[0], "メール");
    EXPECT_EQ(f.sound.played, std::vector<std::string>{"D:\\ding.wav"});
    ASSERT_EQ(f.dialogs.launchForms.size(), 1u);
    EXPECT_EQ(f.dialogs.launchForms[0].Title, "メール");
    EXPECT_EQ(f.dialogs.messages,
              (std::vector<std::string>{"タイトルが指定されていません", InvalidAddressMessage}));
    EXPECT_EQ(Saved(f, 30), "新しい名前");
}

TEST(SettingsDialogOpening, ClosedWithoutSavingNothingChanges) {
    FakeMonitor f;
    f.dialogs.onSettingsDialog = [](SettingsForm& form, SettingsFormEvents&) { form.NickName = "typed"; };
    f.Run(MenuClick(f.m, Item::OpenSettings));
    EXPECT_EQ(f.dialogs.settingsForms.size(), 1u);
    EXPECT_EQ(f.m.s.settings.NickName, "");
    EXPECT_FALSE(SettingsWritten(f));
}

TEST(SettingsUnseenSave, ADragAndTheExitSaveThroughTheSameChecks) {
    FakeMonitor f;
    f.m.s.settings.NickName = "pc";
    PanelDragged(f.m, 40, -8);
    EXPECT_EQ(Saved(f, 4), "40");
    EXPECT_EQ(Saved(f, 5), "-8");
    EXPECT_EQ(Saved(f, 30), "pc");
    EXPECT_TRUE(f.dialogs.settingsForms.empty());

    // A hand-edited address that the check refuses: told, and the files stay.
    const std::string before = ReadBytes(f.m.s.AppDir / SettingsFileName);
    f.m.s.settings.RouterAddress = "router.lan";
    f.m.s.settings.NickName = "changed";
    ShutDown(f.m);
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{InvalidAddressMessage});
    EXPECT_EQ(ReadBytes(f.m.s.AppDir / SettingsFileName), before);
}

}  // namespace
}  // namespace rm
