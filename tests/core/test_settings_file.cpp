#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fakes.h"
#include "text/file_replace.h"
#include "settings/file_save.h"
#include "settings/launcher_file.h"
#include "settings/settings_file.h"
#include "text/cp932.h"
#include "text/files.h"

namespace rm {
namespace {

namespace fs = std::filesystem;
using test::FakeMonitor;
using test::ReadBytes;
using test::WriteBytes;

constexpr const char* SaveFailed = "基本設定ファイルの保存に失敗しました。";

std::vector<std::string> SplitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (std::size_t end; (end = bytes.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        lines.push_back(bytes.substr(pos, end - pos));
    }
    EXPECT_EQ(pos, bytes.size()) << "text after the last CR LF";
    return lines;
}

// Values 1..34, each different from its default.
std::vector<std::string> FullValues() {
    return {"D:\\Tools\\util.exe", "10.0.0.1", "", "-12", "345", "on", "07:05", "on", "23:59", "45",
            "on", "off", "off", "on", "on", "D:\\dw\\dwctrl32.exe", "dw1", "dw2", "c.wav", "d.wav",
            "off", "off", "on", "15", "r.wav", "off", "on", "dw3", "on", "pc1",
            "3", "A", "B", "C"};
}

std::string SettingsBytes(const std::string& header, const std::vector<std::string>& values) {
    std::string text = header + "\r\n";
    for (std::size_t i = 0; i < values.size(); ++i) {
        text += "[" + std::to_string(i + 1) + "]\r\n" + values[i] + "\r\n";
    }
    return text;
}

std::string SettingsBytes(const std::vector<std::string>& values) {
    return SettingsBytes("Routavista Monitor Ver2.04", values);
}

std::array<std::string, 3> DialUpWatcherNames(const Settings& s) {
    return {s.DialUpWatcherName1, s.DialUpWatcherName2, s.DialUpWatcherName3};
}

std::array<std::string, 3> IspNames(const Settings& s) { return {s.IspName1, s.IspName2, s.IspName3}; }

SettingsRead ReadFile(FakeMonitor& f, const std::string& bytes) {
    WriteBytes(f.m.s.AppDir / SettingsFileName, bytes);
    return ReadSettingsFile(f.m);
}

// The whole settings side of a state, as the save action would write it.
std::string StateText(const Monitor& m) { return SettingsFileText({m.s.settings, m.s.panel}, m.s.VersionText); }

std::string DefaultStateText() {
    MainState s;
    return SettingsFileText({s.settings, s.panel}, s.VersionText);
}

TEST(SettingsFileRead, FullFileSetsEveryField) {
    FakeMonitor f;
    ReadFile(f, SettingsBytes(FullValues()));
    const MainState& s = f.m.s;
    EXPECT_EQ(s.settings.UtilityPath, "D:\\Tools\\util.exe");
    EXPECT_EQ(s.settings.RouterAddress, "10.0.0.1");
    EXPECT_EQ(f.m.s.panel.Left, -12);
    EXPECT_EQ(f.m.s.panel.Top, 345);
    EXPECT_TRUE(s.settings.AutoConnect);
    EXPECT_EQ(s.settings.ConnectTime, "07:05");
    EXPECT_TRUE(s.settings.AutoDisconnect);
    EXPECT_EQ(s.settings.DisconnectTime, "23:59");
    EXPECT_EQ(s.settings.ConnectTimeout, "45");
    EXPECT_TRUE(s.settings.UsePort2);
    EXPECT_FALSE(s.settings.SyslogSimple);
    EXPECT_FALSE(s.settings.SyslogAddTime);
    EXPECT_TRUE(s.settings.SyslogAutoSave);
    EXPECT_TRUE(s.settings.UseDialUpWatcher);
    EXPECT_EQ(s.settings.DialUpWatcherPath, "D:\\dw\\dwctrl32.exe");
    EXPECT_EQ(DialUpWatcherNames(s.settings), (std::array<std::string, 3>{"dw1", "dw2", "dw3"}));
    EXPECT_EQ(s.settings.ConnectSound, "c.wav");
    EXPECT_EQ(s.settings.DisconnectSound, "d.wav");
    EXPECT_EQ(s.settings.SyslogEnabled, "off");
    EXPECT_FALSE(s.settings.SyslogLineBreaks);
    EXPECT_TRUE(s.settings.TraySwap);
    EXPECT_EQ(s.settings.SoundAfterMinutes, "15");
    EXPECT_EQ(s.settings.SoundAfterFile, "r.wav");
    EXPECT_FALSE(s.settings.NoUtility);
    EXPECT_TRUE(s.settings.MultiAccount);
    EXPECT_TRUE(s.settings.MasterMode);
    EXPECT_EQ(s.settings.NickName, "pc1");
    EXPECT_EQ(s.settings.RedialCount, 3);
    EXPECT_EQ(s.redial.RedialLeft, 3);
    EXPECT_EQ(IspNames(s.settings), (std::array<std::string, 3>{"A", "B", "C"}));
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(SettingsFileRead, TraySwapDecidesTheButtonMenus) {
    for (const char* swap : {"on", "off", "ON"}) {
        FakeMonitor f;
        auto values = FullValues();
        values[22] = swap;
        ReadFile(f, SettingsBytes(values));
        const bool swapped = std::string(swap) == "on";
        EXPECT_EQ(f.m.view.Tray.LeftButton, swapped ? PopupMenu::MainMenu : PopupMenu::ConnectMenu) << swap;
        EXPECT_EQ(f.m.view.Tray.RightButton, swapped ? PopupMenu::ConnectMenu : PopupMenu::MainMenu) << swap;
    }
}

TEST(SettingsFileRead, IspNamesOnlyFromVersion201) {
    FakeMonitor old;
    ReadFile(old, SettingsBytes("Routavista Monitor Ver2.00", FullValues()));
    EXPECT_EQ(IspNames(old.m.s.settings), (std::array<std::string, 3>{"ISP1", "ISP2", "ISP3"}));
    EXPECT_EQ(old.m.s.settings.NickName, "pc1");

    FakeMonitor current;
    ReadFile(current, SettingsBytes("Routavista Monitor Ver2.01", FullValues()));
    EXPECT_EQ(IspNames(current.m.s.settings), (std::array<std::string, 3>{"A", "B", "C"}));

    FakeMonitor emptyName;
    auto values = FullValues();
    values[32] = "";
    ReadFile(emptyName, SettingsBytes(values));
    EXPECT_EQ(IspNames(emptyName.m.s.settings), (std::array<std::string, 3>{"A", "ISP2", "C"}));
}

// Pair 35 came later: a file without it is whole and leaves the filter off;
// a file of any version with it sets it, and only the exact "on" counts.
TEST(SettingsFileRead, RouterSendersOnlyFromPair35OfAnyVersion) {
    FakeMonitor older;
    ReadFile(older, SettingsBytes(FullValues()));
    EXPECT_FALSE(older.m.s.settings.RouterSendersOnly);
    EXPECT_FALSE(older.m.s.files.SettingsUnread);

    for (const char* header : {"Routavista Monitor Ver2.04", "Routavista Monitor Ver2.00"}) {
        FakeMonitor f;
        auto values = FullValues();
        values.push_back("on");
        ReadFile(f, SettingsBytes(header, values));
        EXPECT_TRUE(f.m.s.settings.RouterSendersOnly) << header;
        EXPECT_FALSE(f.m.s.files.SettingsUnread) << header;
    }
    FakeMonitor upper;
    auto values = FullValues();
    values.push_back("ON");
    ReadFile(upper, SettingsBytes(values));
    EXPECT_FALSE(upper.m.s.settings.RouterSendersOnly);

    FakeMonitor saved;
    saved.m.s.settings.RouterSendersOnly = true;
    SaveAllSettings(saved.m);
    FakeMonitor again;
    ReadFile(again, ReadBytes(saved.m.s.AppDir / SettingsFileName));
    EXPECT_TRUE(again.m.s.settings.RouterSendersOnly);
}

TEST(SettingsFileRead, UnusableHeaderAppliesNothing) {
    for (const char* header : {"Routavista Monitor Ver0.5", "Routavista Monitor Ver", "Routavista Monitor Ve2",
                               "Routavista Monitor Verx.5", ""}) {
        FakeMonitor f;
        ReadFile(f, SettingsBytes(header, FullValues()));
        EXPECT_EQ(StateText(f.m), DefaultStateText()) << header;
        EXPECT_EQ(f.m.s.redial.RedialLeft, 0) << header;
        EXPECT_EQ(f.m.view.Tray.LeftButton, PopupMenu::ConnectMenu) << header;
        EXPECT_TRUE(f.dialogs.messages.empty()) << header;
    }
}

TEST(SettingsFileRead, OnlyTheNumberAfterTheFirst22CharactersCounts) {
    FakeMonitor f;
    ReadFile(f, SettingsBytes("Another Program's File1.0", FullValues()));
    EXPECT_EQ(f.m.s.settings.NickName, "pc1");
}

TEST(SettingsFileRead, BadLeftEdgeKeepsEveryLaterDefault) {
    for (const char* left : {"", "abc", "12x", "99999999999"}) {
        FakeMonitor f;
        auto values = FullValues();
        values[3] = left;
        EXPECT_EQ(ApplySettingsText({f.m.s.settings, f.m.s.panel}, SettingsBytes(values)), SettingsRead::Stopped) << left;

        MainState expected;
        expected.AppDir = f.m.s.AppDir;
        expected.settings.UtilityPath = "D:\\Tools\\util.exe";
        expected.settings.RouterAddress = "10.0.0.1";
        EXPECT_EQ(StateText(f.m), SettingsFileText({expected.settings, expected.panel}, expected.VersionText)) << left;
        EXPECT_EQ(f.m.s.redial.RedialLeft, 0) << left;
        EXPECT_TRUE(f.dialogs.messages.empty());
    }
}

TEST(SettingsFileRead, BadTopEdgeKeepsTheLeftEdge) {
    FakeMonitor f;
    auto values = FullValues();
    values[4] = "top";
    ReadFile(f, SettingsBytes(values));
    EXPECT_EQ(f.m.s.panel.Left, -12);
    EXPECT_EQ(f.m.s.panel.Top, 0);
    EXPECT_FALSE(f.m.s.settings.AutoConnect);
}

TEST(SettingsFileRead, TimeoutTakenOnlyAbove29) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"29", "60"}, {"30", "30"}, {"", "60"}, {"-100", "60"}, {"600", "600"}};
    for (const auto& [value, expected] : cases) {
        FakeMonitor f;
        auto values = FullValues();
        values[9] = value;
        ReadFile(f, SettingsBytes(values));
        EXPECT_EQ(f.m.s.settings.ConnectTimeout, expected) << value;
        EXPECT_EQ(f.m.s.settings.NickName, "pc1") << value;
    }
}

TEST(SettingsFileRead, NonNumericTimeoutStopsAfterTheSoundSettings) {
    FakeMonitor f;
    auto values = FullValues();
    values[9] = "sixty";
    ReadFile(f, SettingsBytes(values));
    EXPECT_EQ(f.m.s.settings.ConnectTimeout, "60");
    EXPECT_EQ(f.m.s.settings.SoundAfterFile, "r.wav");
    EXPECT_EQ(f.m.view.Tray.LeftButton, PopupMenu::MainMenu);
    EXPECT_TRUE(f.m.s.settings.NoUtility);
    EXPECT_EQ(f.m.s.settings.NickName, "");
    EXPECT_EQ(f.m.s.settings.RedialCount, 255);
    EXPECT_EQ(f.m.s.settings.IspName1, "ISP1");
}

// A count the settings dialog would refuse could never be saved again after
// a drag or at exit, so it keeps the default.
TEST(SettingsFileRead, MinutesTheDialogWouldRefuseKeepTheDefault) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"0", "0"}, {"1439", "1439"}, {"1440", "30"}, {"", "30"}, {"-5", "30"}, {"30分", "30"}, {"+5", "30"}};
    for (const auto& [value, expected] : cases) {
        FakeMonitor f;
        auto values = FullValues();
        values[23] = value;
        EXPECT_EQ(ReadFile(f, SettingsBytes(values)), SettingsRead::Complete) << value;
        EXPECT_EQ(f.m.s.settings.SoundAfterMinutes, expected) << value;
        EXPECT_EQ(f.m.s.settings.NickName, "pc1") << value;
    }
}

TEST(SettingsFileRead, RedialCount) {
    const std::vector<std::pair<std::string, int>> cases{{"", 255}, {"3", 3}, {"0", 0}, {"-1", 65535}};
    for (const auto& [value, expected] : cases) {
        FakeMonitor f;
        auto values = FullValues();
        values[30] = value;
        ReadFile(f, SettingsBytes(values));
        EXPECT_EQ(f.m.s.settings.RedialCount, expected) << value;
        EXPECT_EQ(f.m.s.redial.RedialLeft, expected) << value;
    }

    FakeMonitor word;
    auto values = FullValues();
    values[30] = "three";
    ReadFile(word, SettingsBytes(values));
    EXPECT_EQ(word.m.s.settings.RedialCount, 255);
    EXPECT_EQ(word.m.s.redial.RedialLeft, 0);
    EXPECT_EQ(word.m.s.settings.NickName, "pc1");
    EXPECT_EQ(word.m.s.settings.IspName1, "ISP1");
}

TEST(SettingsFileRead, OnlyExactLowerCaseOnSwitchesOn) {
    for (const char* value : {"ON", " on", "on ", "On", ""}) {
        FakeMonitor f;
        auto values = FullValues();
        values[5] = values[7] = values[10] = value;
        ReadFile(f, SettingsBytes(values));
        EXPECT_FALSE(f.m.s.settings.AutoConnect) << value;
        EXPECT_FALSE(f.m.s.settings.AutoDisconnect) << value;
        EXPECT_FALSE(f.m.s.settings.UsePort2) << value;
    }
}

TEST(SettingsFileRead, FileCutAfterLine41) {
    std::string bytes = SettingsBytes(FullValues());
    std::size_t pos = 0;
    for (int line = 0; line < 41; ++line) pos = bytes.find("\r\n", pos) + 2;
    bytes.resize(pos);

    FakeMonitor f;
    ReadFile(f, bytes);
    const MainState& s = f.m.s;
    EXPECT_EQ(s.settings.DisconnectSound, "d.wav");
    EXPECT_EQ(s.settings.SyslogEnabled, "");
    EXPECT_FALSE(s.settings.NoUtility);
    EXPECT_FALSE(IsOn(s.settings.SyslogEnabled));
    EXPECT_FALSE(s.settings.NoUtility);
    EXPECT_FALSE(s.settings.TraySwap);
    EXPECT_EQ(s.settings.SoundAfterMinutes, "30");  // empty: the default stays
    EXPECT_EQ(s.settings.ConnectTimeout, "45");
    EXPECT_EQ(s.settings.RedialCount, 255);
    EXPECT_EQ(s.redial.RedialLeft, 255);
    EXPECT_EQ(IspNames(s.settings), (std::array<std::string, 3>{"ISP1", "ISP2", "ISP3"}));
}

TEST(SettingsFileRead, LabelsAreNeverCompared) {
    FakeMonitor plain;
    ReadFile(plain, SettingsBytes(FullValues()));

    std::vector<std::string> lines = SplitCrLf(SettingsBytes(FullValues()));
    for (std::size_t i = 1; i < lines.size(); i += 2) lines[i] = "[anything " + std::to_string(i) + "]";
    std::string relabelled;
    for (const auto& line : lines) relabelled += line + "\r\n";
    FakeMonitor f;
    ReadFile(f, relabelled);
    EXPECT_EQ(StateText(f.m), StateText(plain.m));
    EXPECT_EQ(f.m.s.redial.RedialLeft, 3);
}

TEST(SettingsFileRead, LfAndCrLineEndsReadLikeCrLf) {
    FakeMonitor crlf;
    ReadFile(crlf, SettingsBytes(FullValues()));
    for (const char* ending : {"\n", "\r"}) {
        std::string bytes = SettingsBytes(FullValues());
        for (std::size_t pos; (pos = bytes.find("\r\n")) != std::string::npos;) bytes.replace(pos, 2, ending);
        FakeMonitor f;
        ReadFile(f, bytes);
        EXPECT_EQ(StateText(f.m), StateText(crlf.m));
    }
}

TEST(SettingsFileRead, UnreadableFileKeepsDefaults) {
    FakeMonitor f;
    fs::create_directory(f.m.s.AppDir / SettingsFileName);
    ReadSettingsFile(f.m);
    EXPECT_EQ(StateText(f.m), DefaultStateText());
    EXPECT_TRUE(f.dialogs.messages.empty());
}

// A running state with every setting away from its default.
void SetEverything(Monitor& m) {
    MainState& s = m.s;
    s.settings.UtilityPath = "C:\\ルータ\\DAZera.exe";
    s.settings.RouterAddress = "192.168.1.254";
    m.s.panel.Left = -30;
    m.s.panel.Top = 1040;
    s.settings.AutoConnect = true;
    s.settings.ConnectTime = "06:30";
    s.settings.DisconnectTime = "22:15";
    s.settings.ConnectTimeout = "90";
    s.settings.UsePort2 = true;
    s.settings.SyslogSimple = false;
    s.settings.SyslogAutoSave = true;
    s.settings.UseDialUpWatcher = true;
    s.settings.DialUpWatcherPath = "D:\\ダイヤル\\dwctrl32.exe";
    s.settings.DialUpWatcherName1 = "プロバイダ";
    s.settings.DialUpWatcherName2 = "b";
    s.settings.DialUpWatcherName3 = "c";
    s.settings.ConnectSound = "接続.wav";
    s.settings.SyslogEnabled = "off";
    s.settings.TraySwap = true;
    s.settings.SoundAfterMinutes = "45";
    s.settings.NoUtility = false;
    s.settings.MasterMode = true;
    s.settings.NickName = "テスト機";
    s.settings.RedialCount = 3;
    s.settings.IspName1 = "ぷらら";
    s.settings.IspName2 = "ISP-B";
    s.settings.IspName3 = "ISP-C";
    s.launcher.LaunchEntries[0] = {"エディタ", "C:\\エディタ\\ed.exe", "-n", "", "on", "off"};
}

TEST(SettingsFileWrite, ShapeOfTheFile) {
    FakeMonitor f;
    SaveAllSettings(f.m);
    const std::vector<std::string> lines = SplitCrLf(ReadBytes(f.m.s.AppDir / SettingsFileName));
    ASSERT_EQ(lines.size(), 71u);
    EXPECT_EQ(lines[0], "Routavista Monitor Ver2.04");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[8 - 1], "[X\x8D\xC0\x95\x57]");  // [X座標]
    EXPECT_EQ(lines[67], "[ISP3 \x82\xCC\x96\xBC\x8F\xCC]");  // [ISP3 の名称]
    EXPECT_EQ(lines[68], "ISP3");
    EXPECT_EQ(Cp932ToUtf8(lines[69]), "[受信をルータとそのネットワークに限定]");
    EXPECT_EQ(lines[70], "off");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(SettingsFileWrite, AFreshStateWritesTheKnownFile) {
    const char* const known[] = {
        "Routavista Monitor Ver2.04",
        "[ユーティリティー]", "C:\\Program Files\\Qorvalabs\\Routavista\\DAZera.exe",
        "[IPアドレス]", "192.168.0.1",
        "[接続ポート]", "",
        "[X座標]", "0",
        "[Y座標]", "0",
        "[自動接続]", "off",
        "[接続時間]", "00:00",
        "[自動切断]", "off",
        "[切断時間]", "00:00",
        "[接続タイムアウト]", "60",
        "[ポート２を使用]", "off",
        "[SysLogを簡易的に表示]", "on",
        "[SysLogに時間を付加]", "on",
        "[SysLogを自動保存]", "off",
        "[Dial-Up Watcherを使用]", "off",
        "[Dial-Up Watcherの場所]", "",
        "[Dial-Up Watcherの接続名１]", "",
        "[Dial-Up Watcherの接続名２]", "",
        "[接続時のサウンド]", "",
        "[切断時のサウンド]", "",
        "[SysLogを記録]", "on",
        "[SysLogに改行を記録]", "on",
        "[アイコントレイの動作を入れ替え]", "off",
        "[サウンド規定時間]", "30",
        "[規定時間後にならすサウンド]", "",
        "[ユーティリティを使用しない]", "on",
        "[マルチアカウント]", "off",
        "[Dial-Up Watcherの接続名３]", "",
        "[RoutavistaMonitorマスター設定]", "off",
        "[ニックネーム]", "",
        "[リダイアル回数]", "255",
        "[ISP1 の名称]", "ISP1",
        "[ISP2 の名称]", "ISP2",
        "[ISP3 の名称]", "ISP3",
        "[受信をルータとそのネットワークに限定]", "off",
    };
    std::string expected;
    for (const char* line : known) expected += Utf8ToCp932(line) + "\r\n";
    FakeMonitor f;
    SaveAllSettings(f.m);
    EXPECT_EQ(std::size(known), 71u);
    EXPECT_EQ(ReadBytes(f.m.s.AppDir / SettingsFileName), expected);
}

TEST(SettingsFileWrite, SavedFileReadsBackAndSavesByteForByte) {
    FakeMonitor first;
    SetEverything(first.m);
    SaveAllSettings(first.m);
    const std::string saved = ReadBytes(first.m.s.AppDir / SettingsFileName);

    FakeMonitor second;
    ReadFile(second, saved);
    EXPECT_EQ(second.m.s.settings.NickName, "テスト機");
    EXPECT_EQ(second.m.s.settings.DialUpWatcherPath, "D:\\ダイヤル\\dwctrl32.exe");
    EXPECT_EQ(second.m.s.settings.IspName1, "ぷらら");
    EXPECT_EQ(second.m.s.panel.Left, -30);
    EXPECT_EQ(second.m.s.panel.Top, 1040);
    SaveAllSettings(second.m);
    EXPECT_EQ(ReadBytes(second.m.s.AppDir / SettingsFileName), saved);
}

TEST(SettingsFileWrite, JapaneseIsShiftJisOnDisk) {
    FakeMonitor f;
    f.m.s.settings.NickName = "テスト";
    f.m.s.settings.ConnectSound = "C:\\音\\a.wav";
    SaveAllSettings(f.m);
    const std::vector<std::string> lines = SplitCrLf(ReadBytes(f.m.s.AppDir / SettingsFileName));
    ASSERT_EQ(lines.size(), 71u);
    EXPECT_EQ(lines[60], "\x83\x65\x83\x58\x83\x67");
    EXPECT_EQ(lines[38], "C:\\\x89\xB9\\a.wav");
}

std::vector<std::string> WrittenValues(FakeMonitor& f) {
    SaveAllSettings(f.m);
    const std::vector<std::string> lines = SplitCrLf(ReadBytes(f.m.s.AppDir / SettingsFileName));
    std::vector<std::string> values;
    for (std::size_t line = 2; line < lines.size(); line += 2) values.push_back(lines[line]);
    EXPECT_EQ(values.size(), 35u);
    return values;
}

TEST(SettingsFileWrite, ValuesAsTheDialogWouldStoreThem) {
    FakeMonitor f;
    SetEverything(f.m);
    f.m.s.settings.AutoDisconnect = false;
    f.m.s.settings.SyslogAddTime = IsOn("ON");  // only the exact "on" counts
    f.m.s.settings.SyslogLineBreaks = false;
    const auto values = WrittenValues(f);
    EXPECT_EQ(values[2], "");
    EXPECT_EQ(values[3], "-30");
    EXPECT_EQ(values[4], "1040");
    EXPECT_EQ(values[5], "on");
    EXPECT_EQ(values[7], "off");
    EXPECT_EQ(values[9], "90");
    EXPECT_EQ(values[10], "on");
    EXPECT_EQ(values[12], "off");
    EXPECT_EQ(values[21], "off");
    EXPECT_EQ(values[20], "off");
    EXPECT_EQ(values[22], "on");
    EXPECT_EQ(values[23], "45");
    EXPECT_EQ(values[25], "off");
    EXPECT_EQ(values[26], "off");
    EXPECT_EQ(values[28], "on");
    EXPECT_EQ(values[30], "3");
}

TEST(SettingsFileWrite, SyslogEnabledIsWrittenAsItIs) {
    FakeMonitor f;
    f.m.s.settings.SyslogEnabled = "";
    EXPECT_EQ(WrittenValues(f)[20], "");
}

TEST(SettingsFileWrite, MultiAccountNeedsNoUtilityAndExcludesPort2) {
    struct Case {
        const char* multiAccount;
        const char* noUtility;
        bool usePort2;
        const char* port2Value;
        const char* multiValue;
    };
    for (const Case& c : {Case{"on", "on", true, "off", "on"}, Case{"on", "off", true, "on", "off"},
                          Case{"off", "on", true, "on", "off"}, Case{"", "on", false, "off", "off"},
                          Case{"on", "on", false, "off", "on"}}) {
        FakeMonitor f;
        f.m.s.settings.MultiAccount = IsOn(c.multiAccount);
        f.m.s.settings.NoUtility = IsOn(c.noUtility);
        f.m.s.settings.UsePort2 = c.usePort2;
        const auto values = WrittenValues(f);
        EXPECT_EQ(values[10], c.port2Value) << c.multiAccount << c.noUtility << c.usePort2;
        EXPECT_EQ(values[26], c.multiValue) << c.multiAccount << c.noUtility << c.usePort2;
    }
}

TEST(SettingsFileWrite, RedialIsThreeOrNone) {
    for (const auto& [count, written] : std::vector<std::pair<int, std::string>>{
             {255, "255"}, {3, "3"}, {5, "3"}, {0, "3"}}) {
        FakeMonitor f;
        f.m.s.settings.RedialCount = static_cast<std::uint16_t>(count);
        EXPECT_EQ(WrittenValues(f)[30], written) << count;
    }
}

TEST(SettingsFileWrite, FailedSaveKeepsTheOldFileAndGoesOn) {
    FakeMonitor f;
    const fs::path file = f.m.s.AppDir / SettingsFileName;
    WriteBytes(file, "old contents\r\n");
    fs::create_directory(ReplacementPath(file));
    f.m.s.launcher.LaunchEntries[1].Title = "メール";

    SaveAllSettings(f.m);
    EXPECT_EQ(ReadBytes(file), "old contents\r\n");
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{SaveFailed});
    EXPECT_TRUE(fs::is_directory(ReplacementPath(file)));
    EXPECT_TRUE(fs::exists(f.m.s.AppDir / LauncherFileName));
    EXPECT_TRUE(f.m.view.Menu[Item::Launch2].Visible);
    EXPECT_EQ(f.m.view.Menu[Item::Launch2].Caption, "メール");
}

TEST(SettingsFileWrite, FailedMoveKeepsTheOldFileAndLeavesNoTemporary) {
    FakeMonitor f;
    const fs::path file = f.m.s.AppDir / SettingsFileName;
    fs::create_directory(file);
    WriteBytes(file / "inside", "x");

    WriteSettingsFile(f.m);
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(ReadBytes(file / "inside"), "x");
    EXPECT_FALSE(fs::exists(ReplacementPath(file)));
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{SaveFailed});
}

TEST(SettingsFileWrite, ReadOnlyFileIsReplaced) {
    FakeMonitor f;
    const fs::path file = f.m.s.AppDir / SettingsFileName;
    WriteBytes(file, "old\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    f.m.s.settings.NickName = "new";

    WriteSettingsFile(f.m);
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(SplitCrLf(ReadBytes(file)).at(60), "new");
    EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_FALSE(fs::exists(ReplacementPath(file)));
}

}  // namespace
}  // namespace rm

namespace rm {
namespace {

TEST(SettingsFileKeep, AFileThatWasNotReadWholeIsKeptBeforeItIsWrittenOver) {
    for (const std::string& bytes : {std::string("a foreign file\r\n"), std::string("Routavista Monitor Verx\r\n"),
                                     SettingsBytes(FullValues()).substr(0, 300)}) {
        FakeMonitor f;
        ReadFile(f, bytes);
        SaveAllSettings(f.m);
        EXPECT_EQ(ReadBytes(f.m.s.AppDir / "RMonitor.ini.bak"), bytes);
        // Only before the first save: the next one leaves the copy alone.
        WriteBytes(f.m.s.AppDir / "RMonitor.ini.bak", "kept");
        SaveAllSettings(f.m);
        EXPECT_EQ(ReadBytes(f.m.s.AppDir / "RMonitor.ini.bak"), "kept");
    }
    FakeMonitor whole;
    ReadFile(whole, SettingsBytes(FullValues()));
    SaveAllSettings(whole.m);
    EXPECT_FALSE(fs::exists(whole.m.s.AppDir / "RMonitor.ini.bak"));
}

// Told once at start, with the place of the copy, which is made right then.
TEST(SettingsFileKeep, AtStartTheUserIsToldWhichSettingsWereResetAndWhereTheOldFileIs) {
    const std::string cut = SettingsBytes(FullValues()).substr(0, 300);
    FakeMonitor f;
    ReadFile(f, cut);
    WriteBytes(f.m.s.AppDir / LauncherFileName, "a foreign file\r\n");
    ReadLauncherFile(f.m);
    TellUnreadFiles(f.m);
    const std::string settingsCopy = PathText(f.m.s.AppDir / "RMonitor.ini.bak");
    const std::string launcherCopy = PathText(f.m.s.AppDir / "RVlaunch.ini.bak");
    EXPECT_EQ(f.dialogs.messages,
              std::vector<std::string>{
                  "基本設定ファイルを最後まで読み込めなかったため、読み込めなかった設定は初期値になっています。\r"
                  "元のファイルは次の場所に残してあります。\r" + settingsCopy + "\r\r"
                  "ランチャー設定ファイルを最後まで読み込めなかったため、読み込めなかった設定は初期値になっています。\r"
                  "元のファイルは次の場所に残してあります。\r" + launcherCopy});
    EXPECT_EQ(ReadBytes(f.m.s.AppDir / "RMonitor.ini.bak"), cut);
    EXPECT_EQ(ReadBytes(f.m.s.AppDir / "RVlaunch.ini.bak"), "a foreign file\r\n");
    // The save after it leaves the copies alone.
    WriteBytes(f.m.s.AppDir / "RMonitor.ini.bak", "kept");
    SaveAllSettings(f.m);
    EXPECT_EQ(ReadBytes(f.m.s.AppDir / "RMonitor.ini.bak"), "kept");
    EXPECT_EQ(f.dialogs.messages.size(), 1u);

    // Where no copy can be made, the old file is where it was, and is not written over.
    FakeMonitor stuck;
    ReadFile(stuck, cut);
    fs::create_directory(stuck.m.s.AppDir / "RMonitor.ini.bak");
    TellUnreadFiles(stuck.m);
    EXPECT_EQ(stuck.dialogs.messages,
              std::vector<std::string>{
                  "基本設定ファイルを最後まで読み込めなかったため、読み込めなかった設定は初期値になっています。\r"
                  "元のファイルは次の場所にあります。上書きする前に .bak を付けた名前で残します。\r" +
                  PathText(stuck.m.s.AppDir / SettingsFileName)});
    SaveAllSettings(stuck.m);
    EXPECT_EQ(ReadBytes(stuck.m.s.AppDir / SettingsFileName), cut);

    // Files read whole: nothing to tell.
    FakeMonitor whole;
    ReadFile(whole, SettingsBytes(FullValues()));
    TellUnreadFiles(whole.m);
    EXPECT_TRUE(whole.dialogs.messages.empty());
}

TEST(SettingsFileKeep, TheSaveGoesThroughTheDurableMove) {
    FakeMonitor f;
    SaveAllSettings(f.m);
    EXPECT_EQ(f.files.moves, 2);  // settings and launcher file
    const std::string saved = ReadBytes(f.m.s.AppDir / SettingsFileName);
    f.files.refuse = true;
    f.m.s.settings.NickName = "changed";
    SaveAllSettings(f.m);
    EXPECT_EQ(ReadBytes(f.m.s.AppDir / SettingsFileName), saved);
    EXPECT_FALSE(fs::exists(ReplacementPath(f.m.s.AppDir / SettingsFileName)));
    EXPECT_FALSE(f.log.lines.empty());
}

}  // namespace
}  // namespace rm
