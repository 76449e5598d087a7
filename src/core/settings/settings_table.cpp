#include "settings/settings_table.h"

#include "text/numbers.h"

namespace rm {
namespace {

const char* OnOff(bool on) { return on ? OnText : OffText; }

// Multi-account mode needs the router driven by datagrams, and excludes port 2.
bool MultiAccountApplies(const Settings& s) { return s.MultiAccount && s.NoUtility; }

// Where the dialog shows a value, by the form's name and the template's id.
struct Place {
    const char* Control = nullptr;
    int Id = 0;
    SettingsPage Page = SettingsPage::Basic;
    FormField Refusable = FormField::None;
    const char* Caption = nullptr;
};

SettingRow Placed(SettingRow row, const Place& place) {
    row.Control = place.Control;
    row.ControlId = place.Id;
    row.Page = place.Page;
    row.Refusable = place.Refusable;
    row.Caption = place.Caption;
    return row;
}

// A check box whose value a rule of the form fills or saves.
SettingRow Checked(SettingRow row, bool SettingsForm::*form) {
    row.FormCheck = form;
    return row;
}

// Form: the form's value that a setting is copied to and from as it is; none
// for a setting the form's rules handle, or one the dialog does not show.
template <std::string Settings::*Field, std::string SettingsForm::*Form = nullptr>
SettingRow Text(int pair, const char* label, const char* name, const Place& place = {}) {
    SettingRow row{pair, label, name, ValueKind::Text,
                   [](StoredSettings to, const std::string& value) {
                       to.settings.*Field = value;
                       return true;
                   },
                   [](ConstStoredSettings from) { return from.settings.*Field; }};
    if constexpr (Form != nullptr) {
        row.FormText = Form;
        row.Fill = [](const Settings& from, SettingsForm& to) { to.*Form = from.*Field; };
        row.Save = [](const SettingsForm& from, Settings& to) { to.*Field = from.*Form; };
    }
    return Placed(row, place);
}

template <bool Settings::*Field, bool SettingsForm::*Form>
SettingRow OnOffValue(int pair, const char* label, const char* name, const Place& place) {
    SettingRow row{pair, label, name, ValueKind::OnOff,
                   [](StoredSettings to, const std::string& value) {
                       to.settings.*Field = IsOn(value);
                       return true;
                   },
                   [](ConstStoredSettings from) { return std::string(OnOff(from.settings.*Field)); }};
    row.FormCheck = Form;
    row.Fill = [](const Settings& from, SettingsForm& to) { to.*Form = from.*Field; };
    row.Save = [](const SettingsForm& from, Settings& to) { to.*Field = from.*Form; };
    return Placed(row, place);
}

template <std::size_t Index, std::string SettingsForm::*Form>
SettingRow DialUpWatcherName(int pair, const char* label, const char* name, const Place& place) {
    SettingRow row{pair, label, name, ValueKind::Text,
                   [](StoredSettings to, const std::string& value) {
                       to.settings.DialUpWatcherNames[Index] = value;
                       return true;
                   },
                   [](ConstStoredSettings from) { return from.settings.DialUpWatcherNames[Index]; }};
    row.FormText = Form;
    row.Fill = [](const Settings& from, SettingsForm& to) { to.*Form = from.DialUpWatcherNames[Index]; };
    row.Save = [](const SettingsForm& from, Settings& to) { to.DialUpWatcherNames[Index] = from.*Form; };
    return Placed(row, place);
}

// An empty ISP name keeps the default when read; the dialog saves it as typed.
template <std::size_t Index, std::string SettingsForm::*Form>
SettingRow IspName(int pair, const char* label, const char* name, const Place& place) {
    SettingRow row{pair, label, name, ValueKind::Text,
                   [](StoredSettings to, const std::string& value) {
                       if (!value.empty()) to.settings.IspNames[Index] = value;
                       return true;
                   },
                   [](ConstStoredSettings from) { return from.settings.IspNames[Index]; }};
    row.FormText = Form;
    row.Fill = [](const Settings& from, SettingsForm& to) { to.*Form = from.IspNames[Index]; };
    row.Save = [](const SettingsForm& from, Settings& to) { to.IspNames[Index] = from.*Form; };
    return Placed(row, place);
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

constexpr SettingsPage Basic = SettingsPage::Basic, Network = SettingsPage::Network, Syslog = SettingsPage::Syslog,
                       Time = SettingsPage::Time, DialUpWatcher = SettingsPage::DialUpWatcher,
                       Sound = SettingsPage::Sound, IspNames = SettingsPage::IspNames;

}  // namespace

const std::array<SettingRow, SettingPairCount> SettingsTable{
    Text<&Settings::UtilityPath, &SettingsForm::Edit2>(
        1, "[ユーティリティー]", "UtilityPath",
        {"Edit2", IDC_OPT_EDIT2, Basic, FormField::Edit2, "Routavistaユーティリティの場所"}),
    // The save checks the address on its own and takes RouterIp1..4 from it.
    Text<&Settings::RouterAddress, &SettingsForm::Edit1>(2, "[IPアドレス]", "RouterAddress",
                                                         {"Edit1", IDC_OPT_EDIT1, Basic, FormField::Edit1}),
    SettingRow{3, "[接続ポート]", "Port", ValueKind::Unused, [](StoredSettings, const std::string&) { return true; },
               [](ConstStoredSettings) { return std::string(); }},
    Coordinate<&PanelPosition::Left>(4, "[X座標]", "Left"),
    Coordinate<&PanelPosition::Top>(5, "[Y座標]", "Top"),
    // A value other than "on" keeps the default, which is off.
    OnOffValue<&Settings::AutoConnect, &SettingsForm::startBox1>(6, "[自動接続]", "AutoConnect",
                                                                 {"startBox1", IDC_OPT_STARTBOX1, Time}),
    Text<&Settings::ConnectTime>(7, "[接続時間]", "ConnectTime", {"SpinEdit1, SpinEdit2", IDC_OPT_SPINEDIT1, Time}),
    OnOffValue<&Settings::AutoDisconnect, &SettingsForm::endBox2>(8, "[自動切断]", "AutoDisconnect",
                                                                  {"endBox2", IDC_OPT_ENDBOX2, Time}),
    // Refused when it equals the connect time with both boxes checked.
    Text<&Settings::DisconnectTime>(9, "[切断時間]", "DisconnectTime",
                                    {"SpinEdit3, SpinEdit4", IDC_OPT_SPINEDIT3, Time, FormField::SpinEdit3}),
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
    // The menu arrangement saves it, with multi-account mode.
    Placed(SettingRow{.Pair = 11,
                      .Label = "[ポート２を使用]",
                      .Name = "UsePort2",
                      .Kind = ValueKind::OnOff,
                      .Read = [](StoredSettings to, const std::string& value) {
                          to.settings.UsePort2 = IsOn(value);
                          return true;
                      },
                      .Write = [](ConstStoredSettings from) {
                          return std::string(OnOff(from.settings.UsePort2 && !MultiAccountApplies(from.settings)));
                      },
                      .FormCheck = &SettingsForm::subportBox1,
                      .Fill = [](const Settings& from, SettingsForm& to) { to.subportBox1 = from.UsePort2; }},
           {"subportBox1", IDC_OPT_SUBPORTBOX1, Basic}),
    OnOffValue<&Settings::SyslogSimple, &SettingsForm::SysLogTypeBox>(12, "[SysLogを簡易的に表示]", "SyslogSimple",
                                                                      {"SysLogTypeBox", IDC_OPT_SYSLOGTYPEBOX, Syslog}),
    OnOffValue<&Settings::SyslogAddTime, &SettingsForm::SysLogTimeBox>(
        13, "[SysLogに時間を付加]", "SyslogAddTime", {"SysLogTimeBox", IDC_OPT_SYSLOGTIMEBOX, Syslog}),
    OnOffValue<&Settings::SyslogAutoSave, &SettingsForm::SyslogSaveBox>(
        14, "[SysLogを自動保存]", "SyslogAutoSave", {"SyslogSaveBox", IDC_OPT_SYSLOGSAVEBOX, Syslog}),
    OnOffValue<&Settings::UseDialUpWatcher, &SettingsForm::DWBox>(15, "[Dial-Up Watcherを使用]", "UseDialUpWatcher",
                                                                  {"DWBox", IDC_OPT_DWBOX, DialUpWatcher}),
    Text<&Settings::DialUpWatcherPath, &SettingsForm::Edit3>(
        16, "[Dial-Up Watcherの場所]", "DialUpWatcherPath",
        {"Edit3", IDC_OPT_EDIT3, DialUpWatcher, FormField::Edit3, "Dial-Up Watcher構成ファイル「dwctrl32.exe」の場所"}),
    DialUpWatcherName<0, &SettingsForm::dwport1>(
        17, "[Dial-Up Watcherの接続名１]", "DialUpWatcherName1",
        {"dwport1", IDC_OPT_DWPORT1, DialUpWatcher, FormField::dwport1, "登録アクセスポイントの名称 ISP１"}),
    DialUpWatcherName<1, &SettingsForm::dwport2>(
        18, "[Dial-Up Watcherの接続名２]", "DialUpWatcherName2",
        {"dwport2", IDC_OPT_DWPORT2, DialUpWatcher, FormField::dwport2, "登録アクセスポイントの名称 ISP２"}),
    Text<&Settings::ConnectSound, &SettingsForm::Edit5>(19, "[接続時のサウンド]", "ConnectSound",
                                                        {"Edit5", IDC_OPT_EDIT5, Sound, FormField::Edit5, "サウンドの接続時"}),
    Text<&Settings::DisconnectSound, &SettingsForm::Edit6>(
        20, "[切断時のサウンド]", "DisconnectSound", {"Edit6", IDC_OPT_EDIT6, Sound, FormField::Edit6, "サウンドの切断時"}),
    // Kept as text: the dialog changes it only from exactly "on" or "off",
    // and switching it clears the viewer.
    Checked(Text<&Settings::SyslogEnabled>(21, "[SysLogを記録]", "SyslogEnabled",
                                           {"SyslogmainBox", IDC_OPT_SYSLOGMAINBOX, Syslog}),
            &SettingsForm::SyslogmainBox),
    OnOffValue<&Settings::SyslogLineBreaks, &SettingsForm::SysLoglineBox>(
        22, "[SysLogに改行を記録]", "SyslogLineBreaks", {"SysLoglineBox", IDC_OPT_SYSLOGLINEBOX, Syslog}),
    OnOffValue<&Settings::TraySwap, &SettingsForm::TrayCheckBox>(23, "[アイコントレイの動作を入れ替え]", "TraySwap",
                                                                 {"TrayCheckBox", IDC_OPT_TRAYCHECKBOX, Basic}),
    // A count the dialog would refuse keeps the default, so that no save
    // after a drag or at exit is refused for a value nobody typed there.
    Placed(SettingRow{.Pair = 24,
                      .Label = "[サウンド規定時間]",
                      .Name = "SoundAfterMinutes",
                      .Kind = ValueKind::Text,
                      .Read = [](StoredSettings to, const std::string& value) {
                          if (WholeNumber(value, 0, MaxSoundAfterMinutes)) to.settings.SoundAfterMinutes = value;
                          return true;
                      },
                      .Write = [](ConstStoredSettings from) { return from.settings.SoundAfterMinutes; },
                      .FormText = &SettingsForm::delyStime,
                      .Fill = [](const Settings& from, SettingsForm& to) { to.delyStime = from.SoundAfterMinutes; },
                      .Save = [](const SettingsForm& from, Settings& to) { to.SoundAfterMinutes = from.delyStime; }},
           {"delyStime", IDC_OPT_DELYSTIME, Sound, FormField::delyStime}),
    Text<&Settings::SoundAfterFile, &SettingsForm::Edit4>(
        25, "[規定時間後にならすサウンド]", "SoundAfterFile",
        {"Edit4", IDC_OPT_EDIT4, Sound, FormField::Edit4, "サウンドの分経過時"}),
    // The warranty box: checking it warns, unchecking it hides MACbox1.
    OnOffValue<&Settings::NoUtility, &SettingsForm::riskBox>(26, "[ユーティリティを使用しない]", "NoUtility",
                                                             {"riskBox", IDC_OPT_RISKBOX, Basic}),
    // The menu arrangement saves it, with port 2.
    Placed(SettingRow{.Pair = 27,
                      .Label = "[マルチアカウント]",
                      .Name = "MultiAccount",
                      .Kind = ValueKind::OnOff,
                      .Read = [](StoredSettings to, const std::string& value) {
                          to.settings.MultiAccount = IsOn(value);
                          return true;
                      },
                      .Write = [](ConstStoredSettings from) { return std::string(OnOff(MultiAccountApplies(from.settings))); },
                      .FormCheck = &SettingsForm::MACbox1,
                      .Fill = [](const Settings& from, SettingsForm& to) { to.MACbox1 = from.MultiAccount; }},
           {"MACbox1", IDC_OPT_MACBOX1, Basic}),
    DialUpWatcherName<2, &SettingsForm::dwport3>(
        28, "[Dial-Up Watcherの接続名３]", "DialUpWatcherName3",
        {"dwport3", IDC_OPT_DWPORT3, DialUpWatcher, FormField::dwport3, "登録アクセスポイントの名称 ISP３"}),
    OnOffValue<&Settings::MasterMode, &SettingsForm::MasterBox>(29, "[RoutavistaMonitorマスター設定]", "MasterMode",
                                                                {"MasterBox", IDC_OPT_MASTERBOX, Network}),
    Text<&Settings::NickName, &SettingsForm::PCname>(
        30, "[ニックネーム]", "NickName", {"PCname", IDC_OPT_PCNAME, Network, FormField::PCname, "パソコンのニックネーム"}),
    // The dialog knows only "redial 3 times" or "ask".
    Checked(Placed(SettingRow{31, "[リダイアル回数]", "RedialCount", ValueKind::Number,
                              [](StoredSettings to, const std::string& value) {
                                  if (value.empty()) return true;
                                  const auto redials = StrToInt(value);
                                  if (redials) to.settings.RedialCount = static_cast<std::uint16_t>(*redials);
                                  return redials.has_value();
                              },
                              [](ConstStoredSettings from) {
                                  return std::string(from.settings.RedialCount == 255 ? "255" : "3");
                              }},
                   {"RedialBox", IDC_OPT_REDIALBOX, Network}),
            &SettingsForm::RedialBox),
    IspName<0, &SettingsForm::Edit7>(32, "[ISP1 の名称]", "IspName1",
                                     {"Edit7", IDC_OPT_EDIT7, IspNames, FormField::Edit7, "ISP1 の名称"}),
    IspName<1, &SettingsForm::Edit8>(33, "[ISP2 の名称]", "IspName2",
                                     {"Edit8", IDC_OPT_EDIT8, IspNames, FormField::Edit8, "ISP2 の名称"}),
    IspName<2, &SettingsForm::Edit9>(34, "[ISP3 の名称]", "IspName3",
                                     {"Edit9", IDC_OPT_EDIT9, IspNames, FormField::Edit9, "ISP3 の名称"}),
    OnOffValue<&Settings::RouterSendersOnly, &SettingsForm::SenderBox>(
        35, "[受信をルータとそのネットワークに限定]", "RouterSendersOnly", {"SenderBox", IDC_OPT_SENDERBOX, Network}),
};

}  // namespace rm
