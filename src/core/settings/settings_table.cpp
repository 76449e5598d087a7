#include "settings/settings_table.h"

#include "text/numbers.h"

namespace rm {
namespace {

const char* OnOff(bool on) { return on ? OnText : OffText; }

// Multi-account mode needs the router driven by datagrams, and excludes port 2.
bool MultiAccountApplies(const Settings& s) { return s.MultiAccount && s.NoUtility; }

template <std::string Settings::*Field>
SettingRow Text(int pair, const char* label, const char* name, const char* control) {
    return {pair, label, name, ValueKind::Text,
            [](StoredSettings to, const std::string& value) {
                to.settings.*Field = value;
                return true;
            },
            [](ConstStoredSettings from) { return from.settings.*Field; }, control};
}

template <bool Settings::*Field>
SettingRow OnOffValue(int pair, const char* label, const char* name, const char* control) {
    return {pair, label, name, ValueKind::OnOff,
            [](StoredSettings to, const std::string& value) {
                to.settings.*Field = IsOn(value);
                return true;
            },
            [](ConstStoredSettings from) { return std::string(OnOff(from.settings.*Field)); }, control};
}

template <std::array<std::string, 3> Settings::*Field, std::size_t Index>
SettingRow Element(int pair, const char* label, const char* name, const char* control) {
    return {pair, label, name, ValueKind::Text,
            [](StoredSettings to, const std::string& value) {
                (to.settings.*Field)[Index] = value;
                return true;
            },
            [](ConstStoredSettings from) { return (from.settings.*Field)[Index]; }, control};
}

// An empty ISP name keeps the default.
template <std::size_t Index>
SettingRow IspName(int pair, const char* label, const char* name, const char* control) {
    return {pair, label, name, ValueKind::Text,
            [](StoredSettings to, const std::string& value) {
                if (!value.empty()) to.settings.IspNames[Index] = value;
                return true;
            },
            [](ConstStoredSettings from) { return from.settings.IspNames[Index]; }, control};
}

template <int PanelPosition::*Field>
SettingRow Coordinate(int pair, const char* label, const char* name) {
    return {pair, label, name, ValueKind::Number,
            [](StoredSettings to, const std::string& value) {
                const auto number = StrToInt(value);
                if (number) to.panel.*Field = *number;
                return number.has_value();
            },
            [](ConstStoredSettings from) { return std::to_string(from.panel.*Field); }};
}

}  // namespace

const std::array<SettingRow, SettingPairCount> SettingsTable{
    Text<&Settings::UtilityPath>(1, "[ユーティリティー]", "UtilityPath", "Edit2"),
    Text<&Settings::RouterAddress>(2, "[IPアドレス]", "RouterAddress", "Edit1"),
    SettingRow{3, "[接続ポート]", "Port", ValueKind::Unused, [](StoredSettings, const std::string&) { return true; },
               [](ConstStoredSettings) { return std::string(); }},
    Coordinate<&PanelPosition::Left>(4, "[X座標]", "Left"),
    Coordinate<&PanelPosition::Top>(5, "[Y座標]", "Top"),
    // A value other than "on" keeps the default, which is off.
    OnOffValue<&Settings::AutoConnect>(6, "[自動接続]", "AutoConnect", "startBox1"),
    Text<&Settings::ConnectTime>(7, "[接続時間]", "ConnectTime", "SpinEdit1, SpinEdit2"),
    OnOffValue<&Settings::AutoDisconnect>(8, "[自動切断]", "AutoDisconnect", "endBox2"),
    Text<&Settings::DisconnectTime>(9, "[切断時間]", "DisconnectTime", "SpinEdit3, SpinEdit4"),
    // Has no control in the dialog: written back as read. Under 30 seconds the
    // default stays.
    SettingRow{10, "[接続タイムアウト]", "ConnectTimeout", ValueKind::Number,
               [](StoredSettings to, const std::string& value) {
                   if (value.empty()) return true;
                   const auto seconds = StrToInt(value);
                   if (seconds && *seconds > 29) to.settings.ConnectTimeout = value;
                   return seconds.has_value();
               },
               [](ConstStoredSettings from) { return from.settings.ConnectTimeout; }},
    SettingRow{11, "[ポート２を使用]", "UsePort2", ValueKind::OnOff,
               [](StoredSettings to, const std::string& value) {
                   to.settings.UsePort2 = IsOn(value);
                   return true;
               },
               [](ConstStoredSettings from) {
                   return std::string(OnOff(from.settings.UsePort2 && !MultiAccountApplies(from.settings)));
               },
               "subportBox1"},
    OnOffValue<&Settings::SyslogSimple>(12, "[SysLogを簡易的に表示]", "SyslogSimple", "SysLogTypeBox"),
    OnOffValue<&Settings::SyslogAddTime>(13, "[SysLogに時間を付加]", "SyslogAddTime", "SysLogTimeBox"),
    OnOffValue<&Settings::SyslogAutoSave>(14, "[SysLogを自動保存]", "SyslogAutoSave", "SyslogSaveBox"),
    OnOffValue<&Settings::UseDialUpWatcher>(15, "[Dial-Up Watcherを使用]", "UseDialUpWatcher", "DWBox"),
    Text<&Settings::DialUpWatcherPath>(16, "[Dial-Up Watcherの場所]", "DialUpWatcherPath", "Edit3"),
    Element<&Settings::DialUpWatcherNames, 0>(17, "[Dial-Up Watcherの接続名１]", "DialUpWatcherName1", "dwport1"),
    Element<&Settings::DialUpWatcherNames, 1>(18, "[Dial-Up Watcherの接続名２]", "DialUpWatcherName2", "dwport2"),
    Text<&Settings::ConnectSound>(19, "[接続時のサウンド]", "ConnectSound", "Edit5"),
    Text<&Settings::DisconnectSound>(20, "[切断時のサウンド]", "DisconnectSound", "Edit6"),
    // Kept as text: the dialog changes it only from exactly "on" or "off".
    Text<&Settings::SyslogEnabled>(21, "[SysLogを記録]", "SyslogEnabled", "SyslogmainBox"),
    OnOffValue<&Settings::SyslogLineBreaks>(22, "[SysLogに改行を記録]", "SyslogLineBreaks", "SysLoglineBox"),
    OnOffValue<&Settings::TraySwap>(23, "[アイコントレイの動作を入れ替え]", "TraySwap", "TrayCheckBox"),
    // A count the dialog would refuse keeps the default, so that no save
    // after a drag or at exit is refused for a value nobody typed there.
    SettingRow{24, "[サウンド規定時間]", "SoundAfterMinutes", ValueKind::Text,
               [](StoredSettings to, const std::string& value) {
                   if (WholeNumber(value, 0, MaxSoundAfterMinutes)) to.settings.SoundAfterMinutes = value;
                   return true;
               },
               [](ConstStoredSettings from) { return from.settings.SoundAfterMinutes; }, "delyStime"},
    Text<&Settings::SoundAfterFile>(25, "[規定時間後にならすサウンド]", "SoundAfterFile", "Edit4"),
    OnOffValue<&Settings::NoUtility>(26, "[ユーティリティを使用しない]", "NoUtility", "riskBox"),
    SettingRow{27, "[マルチアカウント]", "MultiAccount", ValueKind::OnOff,
               [](StoredSettings to, const std::string& value) {
                   to.settings.MultiAccount = IsOn(value);
                   return true;
               },
               [](ConstStoredSettings from) { return std::string(OnOff(MultiAccountApplies(from.settings))); },
               "MACbox1"},
    Element<&Settings::DialUpWatcherNames, 2>(28, "[Dial-Up Watcherの接続名３]", "DialUpWatcherName3", "dwport3"),
    OnOffValue<&Settings::MasterMode>(29, "[RoutavistaMonitorマスター設定]", "MasterMode", "MasterBox"),
    Text<&Settings::NickName>(30, "[ニックネーム]", "NickName", "PCname"),
    // The dialog knows only "redial 3 times" or "ask".
    SettingRow{31, "[リダイアル回数]", "RedialCount", ValueKind::Number,
               [](StoredSettings to, const std::string& value) {
                   if (value.empty()) return true;
                   const auto redials = StrToInt(value);
                   if (redials) to.settings.RedialCount = static_cast<std::uint16_t>(*redials);
                   return redials.has_value();
               },
               [](ConstStoredSettings from) {
                   return std::string(from.settings.RedialCount == 255 ? "255" : "3");
               },
               "RedialBox"},
    IspName<0>(32, "[ISP1 の名称]", "IspName1", "Edit7"),
    IspName<1>(33, "[ISP2 の名称]", "IspName2", "Edit8"),
    IspName<2>(34, "[ISP3 の名称]", "IspName3", "Edit9"),
    OnOffValue<&Settings::RouterSendersOnly>(35, "[受信をルータとそのネットワークに限定]", "RouterSendersOnly",
                                             "SenderBox"),
};

}  // namespace rm
