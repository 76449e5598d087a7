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
    return Button1Click(f.m, form);
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
    EXPECT_EQ(form.Edit2, "D:\\util.exe");
    EXPECT_EQ(form.Edit1, "10.0.0.1");
    EXPECT_TRUE(form.startBox1);
    EXPECT_EQ(form.SpinEdit1, 7);
    EXPECT_EQ(form.SpinEdit2, 5);
    EXPECT_FALSE(form.endBox2);
    EXPECT_EQ(form.SpinEdit3, 23);
    EXPECT_EQ(form.SpinEdit4, 59);
    EXPECT_TRUE(form.subportBox1);
    EXPECT_TRUE(form.SyslogmainBox);
    EXPECT_TRUE(form.SyslogBoxesEnabled);
    EXPECT_FALSE(form.SysLogTypeBox);
    EXPECT_TRUE(form.SysLogTimeBox);
    EXPECT_FALSE(form.SyslogSaveBox);
    EXPECT_FALSE(form.SysLoglineBox);
    EXPECT_TRUE(form.TrayCheckBox);
    EXPECT_TRUE(form.riskBox);
    EXPECT_TRUE(form.MACbox1Visible);
    EXPECT_TRUE(form.MACbox1);
    EXPECT_EQ(form.soft[2], "メール");
    EXPECT_TRUE(form.DWBox);
    EXPECT_TRUE(form.DialUpWatcherEnabled);
    EXPECT_EQ(form.Edit3, "D:\\dw.exe");
    EXPECT_EQ(form.dwport1 + form.dwport2 + form.dwport3, "abc");
    EXPECT_EQ(form.Edit5, "c.wav");
    EXPECT_EQ(form.Edit6, "d.wav");
    EXPECT_EQ(form.Edit4, "r.wav");
    EXPECT_EQ(form.delyStime, "15");
    EXPECT_TRUE(form.MasterBox);
    EXPECT_EQ(form.PCname, "pc");
    EXPECT_TRUE(form.RedialBox);
    EXPECT_TRUE(form.SenderBox);
    EXPECT_EQ(form.Edit7 + form.Edit8 + form.Edit9, "ABC");
}

TEST(SettingsFormFill, SwitchedOffSyslogAndDialUpWatcherDisableTheirControls) {
    FakeMonitor f;
    f.m.s.settings.SyslogEnabled = "On";  // not exactly "on"
    f.m.s.settings.UseDialUpWatcher = false;
    const SettingsForm form = FillSettingsForm(f.m);
    EXPECT_FALSE(form.SyslogmainBox);
    EXPECT_FALSE(form.SyslogBoxesEnabled);
    EXPECT_TRUE(form.SysLogTypeBox);  // the marks stay
    EXPECT_FALSE(form.DWBox);
    EXPECT_FALSE(form.DialUpWatcherEnabled);
}

TEST(SettingsFormFill, AHandEditedTimeShowsWhatTheSpinEditsCanHold) {
    FakeMonitor f;
    f.m.s.settings.ConnectTime = "7:5";
    f.m.s.settings.DisconnectTime = "99:99";
    const SettingsForm form = FillSettingsForm(f.m);
    EXPECT_EQ(form.SpinEdit1, 0);
    EXPECT_EQ(form.SpinEdit2, 0);
    EXPECT_EQ(form.SpinEdit3, 23);
    EXPECT_EQ(form.SpinEdit4, 59);
}

TEST(SettingsFormBoxes, CheckBoxesEnableTheirControlsAndRiskBoxWarnsOncePerCheck) {
    FakeMonitor f;
    f.m.s.settings.NoUtility = false;
    f.m.s.settings.MultiAccount = true;
    SettingsForm form = FillSettingsForm(f.m);
    // Filling ran the unchecking branch without a message; MACbox1 keeps its mark, hidden.
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_FALSE(form.riskBox);
    EXPECT_FALSE(form.MACbox1Visible);
    EXPECT_TRUE(form.MACbox1);

    form.riskBox = true;
    riskBoxClick(form, f.dialogs);
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{RiskWarning});
    EXPECT_TRUE(form.MACbox1Visible);
    form.riskBox = false;
    riskBoxClick(form, f.dialogs);
    EXPECT_FALSE(form.MACbox1Visible);
    EXPECT_FALSE(form.MACbox1);
    EXPECT_EQ(f.dialogs.messages.size(), 1u);

    form.SyslogmainBox = false;
    SyslogmainBoxClick(form);
    EXPECT_FALSE(form.SyslogBoxesEnabled);
    form.DWBox = true;
    DWBoxClick(form);
    EXPECT_TRUE(form.DialUpWatcherEnabled);
}

TEST(SettingsFormBrowse, Button2KeepsTheFilterOfTheLastBrowse) {
    SettingsForm form;
    EXPECT_EQ(BrowseFilter(form, BrowseButton::Button2), "");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::Button3), "Dial-Up Watcherファイル |dwctrl32.exe");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::Button4), "wavファイル |*.wav");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::Button2), "wavファイル |*.wav");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::Button5), "wavファイル |*.wav");
    EXPECT_EQ(BrowseFilter(form, BrowseButton::Button8), "wavファイル |*.wav");
    // A new dialog starts without one.
    SettingsForm next;
    EXPECT_EQ(BrowseFilter(next, BrowseButton::Button2), "");
}

TEST(SettingsSave, EqualTimesAreRefusedOnlyWithBothScheduleBoxes) {
    FakeMonitor f;
    SettingsForm form = FillSettingsForm(f.m);
    form.startBox1 = form.endBox2 = true;
    form.SpinEdit1 = form.SpinEdit3 = 7;
    form.SpinEdit2 = form.SpinEdit4 = 5;
    form.PCname = "changed";
    f.m.s.schedule = {false, false};
    EXPECT_FALSE(Button1Click(f.m, form));
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{EqualTimesMessage});
    EXPECT_FALSE(f.m.s.settings.AutoConnect);
    EXPECT_EQ(f.m.s.settings.ConnectTime, "00:00");
    EXPECT_EQ(f.m.s.settings.NickName, "");
    EXPECT_FALSE(f.m.s.schedule.ConnectArmed);
    EXPECT_FALSE(SettingsWritten(f));

    for (const bool connectBox : {true, false}) {
        FakeMonitor one;
        form.startBox1 = connectBox;
        form.endBox2 = !connectBox;
        EXPECT_TRUE(Button1Click(one.m, form));
        EXPECT_TRUE(one.dialogs.messages.empty());
        EXPECT_EQ(Saved(one, 7), "07:05");
        EXPECT_EQ(Saved(one, 9), "07:05");
        EXPECT_EQ(Saved(one, 6), connectBox ? "on" : "off");
        EXPECT_EQ(Saved(one, 8), connectBox ? "off" : "on");
    }
}

TEST(SettingsSave, TimesGetTwoDigitsAndBothScheduledActionsAreArmedAgain) {
    FakeMonitor f;
    f.m.s.schedule = {false, false};
    SettingsForm form = FillSettingsForm(f.m);
    form.SpinEdit1 = 7;
    form.SpinEdit2 = 5;
    form.SpinEdit3 = 12;
    form.SpinEdit4 = 0;
    ASSERT_TRUE(Button1Click(f.m, form));
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
        EXPECT_TRUE(SaveWith(f, [&](SettingsForm& form) { form.Edit1 = address; }));
        EXPECT_EQ(Saved(f, 2), address);
        EXPECT_TRUE(f.dialogs.messages.empty());
    }
    FakeMonitor f;
    SettingsForm form = FillSettingsForm(f.m);
    form.Edit1 = "010.001.002.003";
    ASSERT_TRUE(Button1Click(f.m, form));
    const RouterLink& r = f.m.s.router;
    EXPECT_EQ((std::array<std::uint16_t, 4>{r.RouterIp1, r.RouterIp2, r.RouterIp3, r.RouterIp4}),
              (std::array<std::uint16_t, 4>{10, 1, 2, 3}));

    for (const char* address : {"192.168.0.1.9", "300.1.1.1", "192.168.0", "10.x.0.1", "10.0.0.", "", "10.0.0.-1",
                                "10.0.0.+1", " 10.0.0.1", "10.0.0.1 ", "１０.0.0.1", "10..0.1", "1.2.3.0001"}) {
        SCOPED_TRACE(address);
        FakeMonitor refused;
        EXPECT_EQ(SaveWith(refused, [&](SettingsForm& form) { form.Edit1 = address; }).Refused, IDC_OPT_EDIT1);
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
             f.startBox1 = f.endBox2 = true;
             f.SpinEdit1 = f.SpinEdit3 = 7;
             f.SpinEdit2 = f.SpinEdit4 = 5;
         },
         IDC_OPT_SPINEDIT3, EqualTimesMessage},
        {"address", [](SettingsForm& f) { f.Edit1 = "192.168.0.1.9"; }, IDC_OPT_EDIT1, InvalidAddressMessage},
        {"minutes", [](SettingsForm& f) { f.delyStime = "30分"; }, IDC_OPT_DELYSTIME,
         "サウンドの「分経過時」には 0 から 1439 までの整数を入力してください。"},
        {"characters", [](SettingsForm& f) { f.Edit5 = "C:\\José\\on.wav"; }, IDC_OPT_EDIT5,
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
        form.SyslogmainBox = false;
        form.TrayCheckBox = form.subportBox1 = form.MasterBox = true;
        form.RedialBox = true;
        form.soft[0] = "";
        form.Edit1 = "10.0.0.9";
        form.Edit7 = "ぷらら";
        c.spoil(form);

        EXPECT_EQ(Button1Click(f.m, form).Refused, c.control);
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
        for (const Item i : {Item::syslog1, Item::N1, Item::N2, Item::N10, Item::L11}) {
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
        EXPECT_TRUE(SaveWith(f, [&](SettingsForm& form) { form.delyStime = minutes; }));
        EXPECT_EQ(Saved(f, 24), minutes);
    }
    for (const char* minutes : {"", "1440", "-1", "+5", "2.5", " 5", "１０", "abc", "99999999999"}) {
        SCOPED_TRACE(minutes);
        FakeMonitor f;
        EXPECT_EQ(SaveWith(f, [&](SettingsForm& form) { form.delyStime = minutes; }).Refused, IDC_OPT_DELYSTIME);
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
        {&SettingsForm::Edit2, IDC_OPT_EDIT2, "Routavistaユーティリティの場所"},
        {&SettingsForm::PCname, IDC_OPT_PCNAME, "パソコンのニックネーム"},
        {&SettingsForm::Edit3, IDC_OPT_EDIT3, "Dial-Up Watcher構成ファイル「dwctrl32.exe」の場所"},
        {&SettingsForm::dwport1, IDC_OPT_DWPORT1, "登録アクセスポイントの名称 ISP１"},
        {&SettingsForm::dwport2, IDC_OPT_DWPORT2, "登録アクセスポイントの名称 ISP２"},
        {&SettingsForm::dwport3, IDC_OPT_DWPORT3, "登録アクセスポイントの名称 ISP３"},
        {&SettingsForm::Edit5, IDC_OPT_EDIT5, "サウンドの接続時"},
        {&SettingsForm::Edit6, IDC_OPT_EDIT6, "サウンドの切断時"},
        {&SettingsForm::Edit4, IDC_OPT_EDIT4, "サウンドの分経過時"},
        {&SettingsForm::Edit7, IDC_OPT_EDIT7, "ISP1 の名称"},
        {&SettingsForm::Edit8, IDC_OPT_EDIT8, "ISP2 の名称"},
        {&SettingsForm::Edit9, IDC_OPT_EDIT9, "ISP3 の名称"},
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
        EXPECT_EQ(SaveWith(f, [&](SettingsForm& form) { form.soft[i] = "¥100ショップ"; }).Refused,
                  IDC_OPT_SOFT1 + static_cast<int>(i));
        EXPECT_EQ(f.dialogs.messages,
                  std::vector<std::string>{message("ランチャーのタイトル" + std::to_string(i + 1), "¥")});
        EXPECT_FALSE(std::filesystem::exists(f.m.s.AppDir / LauncherFileName));
    }

    // What Shift-JIS holds is saved as it was typed.
    FakeMonitor f;
    ASSERT_TRUE(SaveWith(f, [](SettingsForm& form) { form.PCname = "ﾀﾛｳ①～ＰＣ\\"; }));
    EXPECT_EQ(Saved(f, 30), "ﾀﾛｳ①～ＰＣ\\");
}

TEST(SettingsSave, MultiAccountCountsOnlyWithRiskBox) {
    FakeMonitor f;
    f.m.s.settings.MultiAccount = true;
    f.m.s.settings.NoUtility = false;
    SettingsForm form = FillSettingsForm(f.m);
    ASSERT_TRUE(form.MACbox1);
    ASSERT_FALSE(form.MACbox1Visible);
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_FALSE(f.m.s.settings.MultiAccount);
    EXPECT_EQ(Saved(f, 27), "off");
    EXPECT_EQ(Saved(f, 26), "off");
    EXPECT_EQ(Caption(f, Item::N1), "接続");
    EXPECT_FALSE(Visible(f, Item::ISP3));

    // Checked again by the user: the warning, then multi-account mode.
    form.riskBox = true;
    riskBoxClick(form, f.dialogs);
    form.subportBox1 = true;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(Saved(f, 27), "on");
    EXPECT_EQ(Saved(f, 11), "off");
    EXPECT_FALSE(f.m.s.settings.UsePort2);
    // Unchecking riskBox clears MACbox1 for good.
    form.riskBox = false;
    riskBoxClick(form, f.dialogs);
    form.riskBox = true;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(Saved(f, 27), "off");
}

TEST(SettingsSave, TheConnectMenuTakesTheArrangementOfTheFirstCaseThatApplies) {
    FakeMonitor f;
    f.m.view.Menu[Item::N1].Enabled = false;  // as a connect leaves it
    SettingsForm form = FillSettingsForm(f.m);
    form.Edit7 = "ぷらら";
    form.Edit8 = "OCN";
    form.Edit9 = "";
    form.riskBox = form.MACbox1 = form.subportBox1 = true;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(Caption(f, Item::N1), "ぷらら 接続");
    EXPECT_TRUE(f.m.view.Menu[Item::N1].Enabled);
    EXPECT_FALSE(Visible(f, Item::N2));
    EXPECT_FALSE(Visible(f, Item::N9));
    EXPECT_EQ(Caption(f, Item::N10), "OCN 接続");
    EXPECT_EQ(Caption(f, Item::N11), "切断");
    EXPECT_EQ(Caption(f, Item::ISP3), " 接続");
    for (const Item i : {Item::N10, Item::N11, Item::N12, Item::ISP3}) EXPECT_TRUE(Visible(f, i));
    EXPECT_EQ(Saved(f, 34), "");  // an empty name is saved as it is
    EXPECT_EQ(f.m.s.settings.IspName1, "ぷらら");

    form.MACbox1 = false;
    f.m.view.Menu[Item::N10].Enabled = false;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(Caption(f, Item::N1), "ポート1接続");
    EXPECT_EQ(Caption(f, Item::N2), "ポート1切断");
    EXPECT_EQ(Caption(f, Item::N10), "ポート2接続");
    EXPECT_EQ(Caption(f, Item::N11), "ポート2切断");
    EXPECT_TRUE(f.m.view.Menu[Item::N10].Enabled);
    for (const Item i : {Item::N2, Item::N9, Item::N10, Item::N11, Item::N12}) EXPECT_TRUE(Visible(f, i));
    EXPECT_FALSE(Visible(f, Item::ISP3));
    EXPECT_EQ(Saved(f, 11), "on");
    EXPECT_EQ(Saved(f, 27), "off");

    form.subportBox1 = false;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(Caption(f, Item::N1), "接続");
    EXPECT_EQ(Caption(f, Item::N2), "切断");
    for (const Item i : {Item::N10, Item::N11, Item::N12, Item::ISP3}) EXPECT_FALSE(Visible(f, i));
    EXPECT_TRUE(Visible(f, Item::N9));
    EXPECT_EQ(Saved(f, 11), "off");
}

TEST(SettingsSave, RedialBoxSavesThreeOr255AndResetsTheRedialsLeft) {
    FakeMonitor f;
    f.m.s.settings.RedialCount = 5;
    SettingsForm form = FillSettingsForm(f.m);
    EXPECT_TRUE(form.RedialBox);
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(f.m.s.settings.RedialCount, 3);
    EXPECT_EQ(f.m.s.redial.RedialLeft, 3);
    EXPECT_EQ(Saved(f, 31), "3");
    form.RedialBox = false;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(f.m.s.redial.RedialLeft, 255);
    EXPECT_EQ(Saved(f, 31), "255");
}

TEST(SettingsSave, SyslogRecordingSwitchesTheViewerAndItsMenuItem) {
    FakeMonitor f;
    f.m.view.Viewer.Shown = true;
    f.m.view.Viewer.Lines = {"a line"};
    SettingsForm form = FillSettingsForm(f.m);
    form.SyslogmainBox = false;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(f.m.s.settings.SyslogEnabled, "off");
    EXPECT_FALSE(Visible(f, Item::syslog1));
    EXPECT_FALSE(f.m.view.Viewer.Shown);
    EXPECT_EQ(Saved(f, 21), "off");

    form.SyslogmainBox = true;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(f.m.s.settings.SyslogEnabled, "on");
    EXPECT_TRUE(Visible(f, Item::syslog1));
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
        ASSERT_FALSE(form.SyslogmainBox);
        ASSERT_TRUE(Button1Click(f.m, form));
        EXPECT_EQ(Saved(f, 21), "off");
        EXPECT_FALSE(Visible(f, Item::syslog1));

        f.m.s.settings.SyslogEnabled = stored;
        form.SyslogmainBox = true;
        ASSERT_TRUE(Button1Click(f.m, form));
        EXPECT_EQ(Saved(f, 21), "on");
        EXPECT_TRUE(Visible(f, Item::syslog1));
        EXPECT_TRUE(f.m.view.Viewer.Exists);
    }
}

TEST(SettingsSave, TrayMenusFollowTheTrayBox) {
    FakeMonitor f;
    SettingsForm form = FillSettingsForm(f.m);
    form.TrayCheckBox = true;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(f.m.view.Tray.LeftButton, PopupMenu::PopupMenu2);
    EXPECT_EQ(f.m.view.Tray.RightButton, PopupMenu::PopupMenu1);
    EXPECT_EQ(Saved(f, 23), "on");
    form.TrayCheckBox = false;
    ASSERT_TRUE(Button1Click(f.m, form));
    EXPECT_EQ(f.m.view.Tray.LeftButton, PopupMenu::PopupMenu1);
    EXPECT_EQ(Saved(f, 23), "off");
}

TEST(SettingsSave, AnEmptyTitleKeepsTheEntryButHidesItsItem) {
    FakeMonitor f;
    f.m.s.launcher.LaunchEntries[2] = {"メール", "C:\\mail.exe", "-x", "C:\\w", "on", "off"};
    RefreshLaunchMenu(f.m);
    SettingsForm form = FillSettingsForm(f.m);
    form.soft[2] = "";
    form.soft[5] = "時計";
    ASSERT_TRUE(Button1Click(f.m, form));
    const std::vector<std::string> lines = Lines(f.m.s.AppDir / LauncherFileName);
    ASSERT_EQ(lines.size(), 37u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 13, lines.begin() + 19),
              (std::vector<std::string>{"", "C:\\mail.exe", "-x", "C:\\w", "on", "off"}));
    EXPECT_EQ(lines[31], "時計");
    EXPECT_FALSE(Visible(f, Item::L31));
    EXPECT_TRUE(Visible(f, Item::L61));
    EXPECT_EQ(Caption(f, Item::L61), "時計");
}

// Every setting with a control in the table: a change there is what the
// file keeps, and nothing else changes.
TEST(SettingsSave, EveryControlReachesItsLineInTheFile) {
    struct Edit {
        std::function<void(SettingsForm&)> change;
        std::string saved;
    };
    const std::map<std::string, Edit> edits{
        {"Edit2", {[](SettingsForm& f) { f.Edit2 = "E:\\u.exe"; }, "E:\\u.exe"}},
        {"Edit1", {[](SettingsForm& f) { f.Edit1 = "10.0.0.2"; }, "10.0.0.2"}},
        {"startBox1", {[](SettingsForm& f) { f.startBox1 = true; }, "on"}},
        {"SpinEdit1", {[](SettingsForm& f) { f.SpinEdit2 = 30; }, "00:30"}},
        {"endBox2", {[](SettingsForm& f) { f.endBox2 = true; }, "on"}},
        {"SpinEdit3", {[](SettingsForm& f) { f.SpinEdit3 = 9; }, "09:00"}},
        {"subportBox1", {[](SettingsForm& f) { f.subportBox1 = true; }, "on"}},
        {"SysLogTypeBox", {[](SettingsForm& f) { f.SysLogTypeBox = false; }, "off"}},
        {"SysLogTimeBox", {[](SettingsForm& f) { f.SysLogTimeBox = false; }, "off"}},
        {"SyslogSaveBox", {[](SettingsForm& f) { f.SyslogSaveBox = true; }, "on"}},
        {"DWBox", {[](SettingsForm& f) { f.DWBox = true; }, "on"}},
        {"Edit3", {[](SettingsForm& f) { f.Edit3 = "dw.exe"; }, "dw.exe"}},
        {"dwport1", {[](SettingsForm& f) { f.dwport1 = "n1"; }, "n1"}},
        {"dwport2", {[](SettingsForm& f) { f.dwport2 = "n2"; }, "n2"}},
        {"Edit5", {[](SettingsForm& f) { f.Edit5 = "c.wav"; }, "c.wav"}},
        {"Edit6", {[](SettingsForm& f) { f.Edit6 = "d.wav"; }, "d.wav"}},
        {"SyslogmainBox", {[](SettingsForm& f) { f.SyslogmainBox = false; }, "off"}},
        {"SysLoglineBox", {[](SettingsForm& f) { f.SysLoglineBox = false; }, "off"}},
        {"TrayCheckBox", {[](SettingsForm& f) { f.TrayCheckBox = true; }, "on"}},
        {"delyStime", {[](SettingsForm& f) { f.delyStime = "45"; }, "45"}},
        {"Edit4", {[](SettingsForm& f) { f.Edit4 = "r.wav"; }, "r.wav"}},
        {"riskBox", {[](SettingsForm& f) { f.riskBox = false; }, "off"}},
        {"MACbox1", {[](SettingsForm& f) { f.MACbox1 = true; }, "on"}},
        {"dwport3", {[](SettingsForm& f) { f.dwport3 = "n3"; }, "n3"}},
        {"MasterBox", {[](SettingsForm& f) { f.MasterBox = true; }, "on"}},
        {"PCname", {[](SettingsForm& f) { f.PCname = "ぴーしー"; }, "ぴーしー"}},
        {"RedialBox", {[](SettingsForm& f) { f.RedialBox = true; }, "3"}},
        {"SenderBox", {[](SettingsForm& f) { f.SenderBox = true; }, "on"}},
        {"Edit7", {[](SettingsForm& f) { f.Edit7 = "I1"; }, "I1"}},
        {"Edit8", {[](SettingsForm& f) { f.Edit8 = "I2"; }, "I2"}},
        {"Edit9", {[](SettingsForm& f) { f.Edit9 = "I3"; }, "I3"}},
    };
    FakeMonitor unchanged;
    ASSERT_TRUE(Button1Click(unchanged.m, FillSettingsForm(unchanged.m)));
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
        ASSERT_TRUE(Button1Click(f.m, form));
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
        ASSERT_TRUE(Button1Click(to.m, FillSettingsForm(from.m)));
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
        enabledWhileOpen = f.m.view.Menu[Item::option_n1].Enabled;
        events.TestSound("");
        events.TestSound(form.Edit5 = "D:\\ding.wav");
        events.softButtonClick(2, "");
        events.softButtonClick(1, form.soft[0]);
        form.riskBox = false;
        events.riskBoxClick(form);
        form.Edit1 = "bad";
        EXPECT_FALSE(events.Button1Click(form));
        form.Edit1 = "192.168.0.1";
        form.PCname = "新しい名前";
        EXPECT_TRUE(events.Button1Click(form));
    };
    f.Run(MenuClick(f.m, Item::option_n1));
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(f.m.view.Menu[Item::option_n1].Enabled);
    ASSERT_EQ(f.dialogs.settingsForms.size(), 1u);
    EXPECT_EQ(f.dialogs.settingsForms[0].soft[0], "メール");
    EXPECT_EQ(f.sound.played, std::vector<std::string>{"D:\\ding.wav"});
    ASSERT_EQ(f.dialogs.launchForms.size(), 1u);
    EXPECT_EQ(f.dialogs.launchForms[0].Title, "メール");
    EXPECT_EQ(f.dialogs.messages,
              (std::vector<std::string>{"タイトルが指定されていません", InvalidAddressMessage}));
    EXPECT_EQ(Saved(f, 30), "新しい名前");
}

TEST(SettingsDialogOpening, ClosedWithoutSavingNothingChanges) {
    FakeMonitor f;
    f.dialogs.onSettingsDialog = [](SettingsForm& form, SettingsFormEvents&) { form.PCname = "typed"; };
    f.Run(MenuClick(f.m, Item::option_n1));
    EXPECT_EQ(f.dialogs.settingsForms.size(), 1u);
    EXPECT_EQ(f.m.s.settings.NickName, "");
    EXPECT_FALSE(SettingsWritten(f));
}

TEST(SettingsUnseenSave, ADragAndTheExitSaveThroughTheSameChecks) {
    FakeMonitor f;
    f.m.s.settings.NickName = "pc";
    Panel1Dragged(f.m, 40, -8);
    EXPECT_EQ(Saved(f, 4), "40");
    EXPECT_EQ(Saved(f, 5), "-8");
    EXPECT_EQ(Saved(f, 30), "pc");
    EXPECT_TRUE(f.dialogs.settingsForms.empty());

    // A hand-edited address that the check refuses: told, and the files stay.
    const std::string before = ReadBytes(f.m.s.AppDir / SettingsFileName);
    f.m.s.settings.RouterAddress = "router.lan";
    f.m.s.settings.NickName = "changed";
    FormCloseQuery(f.m);
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{InvalidAddressMessage});
    EXPECT_EQ(ReadBytes(f.m.s.AppDir / SettingsFileName), before);
}

}  // namespace
}  // namespace rm
