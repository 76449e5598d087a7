#include "settings/settings_file.h"

#include <array>
#include <vector>

#include "monitor/startup.h"
#include "settings/file_replace.h"
#include "settings/launcher_file.h"
#include "settings/positional_text.h"
#include "text/numbers.h"

namespace rm {
namespace {

constexpr const char* SettingsHeader = "Routavista Monitor Ver";
constexpr int SettingsHeaderLength = 22;
constexpr std::size_t PairCount = 34;
constexpr std::size_t SettingsLineCount = 1 + 2 * PairCount;
constexpr const char* SaveFailedMessage = "基本設定ファイルの保存に失敗しました。";

constexpr std::array<const char*, PairCount> Labels{
    "[ユーティリティー]",
    "[IPアドレス]",
    "[接続ポート]",
    "[X座標]",
    "[Y座標]",
    "[自動接続]",
    "[接続時間]",
    "[自動切断]",
    "[切断時間]",
    "[接続タイムアウト]",
    "[ポート２を使用]",
    "[SysLogを簡易的に表示]",
    "[SysLogに時間を付加]",
    "[SysLogを自動保存]",
    "[Dial-Up Watcherを使用]",
    "[Dial-Up Watcherの場所]",
    "[Dial-Up Watcherの接続名１]",
    "[Dial-Up Watcherの接続名２]",
    "[接続時のサウンド]",
    "[切断時のサウンド]",
    "[SysLogを記録]",
    "[SysLogに改行を記録]",
    "[アイコントレイの動作を入れ替え]",
    "[サウンド規定時間]",
    "[規定時間後にならすサウンド]",
    "[ユーティリティを使用しない]",
    "[マルチアカウント]",
    "[Dial-Up Watcherの接続名３]",
    "[RoutavistaMonitorマスター設定]",
    "[ニックネーム]",
    "[リダイアル回数]",
    "[ISP1 の名称]",
    "[ISP2 の名称]",
    "[ISP3 の名称]",
};

// The value lines of a file, by pair number 1..34.
class PairValues {
public:
    explicit PairValues(const std::vector<std::string>& lines) : lines_(lines) {}
    const std::string& operator()(std::size_t pair) const { return lines_[2 * pair]; }

private:
    const std::vector<std::string>& lines_;
};

void ApplyTrayMenus(const MainState& s, ViewModel& view) {
    const bool swapped = IsOn(s.TraySwap);
    view.Tray.LeftButton = swapped ? PopupMenu::PopupMenu2 : PopupMenu::PopupMenu1;
    view.Tray.RightButton = swapped ? PopupMenu::PopupMenu1 : PopupMenu::PopupMenu2;
}

// Pairs 1 to 31 in the order that decides which values a damaged file still
// sets: a number that does not convert ends the reading there.
bool ApplyMainPairs(MainState& s, ViewModel& view, const PairValues& value) {
    s.UtilityPath = value(1);
    s.RouterAddress = value(2);

    const auto left = StrToInt(value(4));
    if (!left) return false;
    view.Panel.Left = *left;
    const auto top = StrToInt(value(5));
    if (!top) return false;
    view.Panel.Top = *top;

    if (IsOn(value(6))) s.AutoConnect = true;
    s.ConnectTime = value(7);
    if (IsOn(value(8))) s.AutoDisconnect = true;
    s.DisconnectTime = value(9);
    s.UsePort2 = IsOn(value(11));

    s.SyslogSimple = value(12);
    s.SyslogAddTime = value(13);
    s.SyslogAutoSave = value(14);
    s.UseDialUpWatcher = value(15);
    s.DialUpWatcherPath = value(16);
    s.DialUpWatcherNames[0] = value(17);
    s.DialUpWatcherNames[1] = value(18);
    s.ConnectSound = value(19);
    s.DisconnectSound = value(20);
    s.SyslogEnabled = value(21);
    s.SyslogLineBreaks = value(22);
    s.TraySwap = value(23);
    ApplyTrayMenus(s, view);
    s.SoundAfterMinutes = value(24);
    s.SoundAfterFile = value(25);

    if (!value(10).empty()) {
        const auto timeout = StrToInt(value(10));
        if (!timeout) return false;
        if (*timeout > 29) s.ConnectTimeout = value(10);
    }

    s.NoUtility = value(26);
    s.MultiAccount = value(27);
    s.DialUpWatcherNames[2] = value(28);
    s.MasterMode = value(29);
    s.NickName = value(30);

    if (!value(31).empty()) {
        const auto redials = StrToInt(value(31));
        if (!redials) return false;
        s.RedialCount = static_cast<std::uint16_t>(*redials);
    }
    s.RedialLeft = s.RedialCount;
    return true;
}

const char* OnOff(bool on) { return on ? OnText : OffText; }

// What the settings dialog's check box would store for such a value.
const char* OnOff(const std::string& value) { return OnOff(IsOn(value)); }

}  // namespace

SettingsRead ApplySettingsText(MainState& s, ViewModel& view, std::string_view bytes) {
    const std::vector<std::string> lines = LinesOf(bytes, SettingsLineCount);
    const PairValues value(lines);
    const auto version = HeaderVersion(lines[0], SettingsHeaderLength);
    if (!version || *version < 1.0) return SettingsRead::Defaults;
    if (!ApplyMainPairs(s, view, value)) return SettingsRead::Stopped;
    if (*version >= 2.01) {
        for (std::size_t i = 0; i < s.IspNames.size(); ++i) {
            if (!value(32 + i).empty()) s.IspNames[i] = value(32 + i);
        }
    }
    return SettingsRead::Complete;
}

void ReadSettingsFile(Monitor& m) {
    const auto bytes = ReadFileBytes(m.s.AppDir / SettingsFileName);
    if (bytes) ApplySettingsText(m.s, m.view, *bytes);
}

std::string SettingsFileText(const MainState& s, const ViewModel& view) {
    // Multi-account mode needs the router driven by datagrams, and excludes port 2.
    const bool multiAccount = IsOn(s.MultiAccount) && IsOn(s.NoUtility);
    const std::array<std::string, PairCount> values{
        s.UtilityPath,
        s.RouterAddress,
        "",
        std::to_string(view.Panel.Left),
        std::to_string(view.Panel.Top),
        OnOff(s.AutoConnect),
        s.ConnectTime,
        OnOff(s.AutoDisconnect),
        s.DisconnectTime,
        s.ConnectTimeout,
        OnOff(s.UsePort2 && !multiAccount),
        OnOff(s.SyslogSimple),
        OnOff(s.SyslogAddTime),
        OnOff(s.SyslogAutoSave),
        OnOff(s.UseDialUpWatcher),
        s.DialUpWatcherPath,
        s.DialUpWatcherNames[0],
        s.DialUpWatcherNames[1],
        s.ConnectSound,
        s.DisconnectSound,
        // The dialog changes this one only from exactly "on" or "off".
        s.SyslogEnabled,
        OnOff(s.SyslogLineBreaks),
        OnOff(s.TraySwap),
        s.SoundAfterMinutes,
        s.SoundAfterFile,
        OnOff(s.NoUtility),
        OnOff(multiAccount),
        s.DialUpWatcherNames[2],
        OnOff(s.MasterMode),
        s.NickName,
        s.RedialCount == 255 ? "255" : "3",
        s.IspNames[0],
        s.IspNames[1],
        s.IspNames[2],
    };
    std::vector<std::string> lines;
    lines.reserve(SettingsLineCount);
    lines.push_back(SettingsHeader + s.VersionText);
    for (std::size_t i = 0; i < PairCount; ++i) {
        lines.push_back(Labels[i]);
        lines.push_back(values[i]);
    }
    return FileTextOf(lines);
}

void WriteSettingsFile(Monitor& m) {
    if (!ReplaceFileContents(m.s.AppDir / SettingsFileName, SettingsFileText(m.s, m.view))) {
        m.ports.Dialogs.ShowMessage(SaveFailedMessage);
    }
}

void SaveAllSettings(Monitor& m) {
    WriteSettingsFile(m);
    WriteLauncherFile(m);
    RefreshLaunchMenu(m);
}

}  // namespace rm
