// Every pair of RMonitor.ini, in file order, each declared once. The
// settings, the dialog's form, the settings table (reading, writing, the
// dialog's controls) and the tests' samples are all made from this list.
//
// SETTING(name, type, initial, label, codec, control, form, id, caption, sample)
//   name, type, initial: the field of Settings and its default
//   label:    the label line before the value in the file
//   codec:    how the value reads and writes (settings_table.cpp)
//   control:  Edit or Check: the dialog shows the value and takes it back as
//             it is; CheckByRule or SpinByRule: a rule of the form fills and
//             saves it; NoControl: kept only in the file
//   form, id: the form's value (a std::string for an edit, a bool for a
//             check box) and the control's id (settings_controls.h)
//   caption:  what the refusal of a character the file cannot hold calls
//             the edit; nullptr where the save checks the text otherwise
//   sample:   a value unlike the default that the dialog's save accepts
// FILE_ONLY(name, codec, label): a pair that is no setting.
#pragma once

#define RM_SETTINGS(SETTING, FILE_ONLY)                                                                                \
    SETTING(UtilityPath, std::string, "C:\\Program Files\\Qorvalabs\\Routavista\\DAZera.exe", "[ユーティリティー]",    \
            Text, Edit, UtilityPath, IDC_OPT_UTILITY_PATH, "Routavistaユーティリティの場所",                           \
            "D:\\ユーティリティ\\DAZera.exe")                                                                          \
    SETTING(RouterAddress, std::string, "192.168.0.1", "[IPアドレス]", Text, Edit, RouterAddress,                      \
            IDC_OPT_ROUTER_ADDRESS, nullptr, "10.1.2.3")                                                               \
    FILE_ONLY(Port, Unused, "[接続ポート]")                                                                            \
    FILE_ONLY(Left, Coordinate<&PanelPosition::Left>, "[X座標]")                                                       \
    FILE_ONLY(Top, Coordinate<&PanelPosition::Top>, "[Y座標]")                                                         \
    SETTING(AutoConnect, bool, false, "[自動接続]", OnOff, Check, AutoConnect, IDC_OPT_AUTO_CONNECT, nullptr, true)    \
    SETTING(ConnectTime, std::string, "00:00", "[接続時間]", Text, SpinByRule, ConnectHour, IDC_OPT_CONNECT_HOUR,      \
            nullptr, "07:05")                                                                                          \
    SETTING(AutoDisconnect, bool, false, "[自動切断]", OnOff, Check, AutoDisconnect, IDC_OPT_AUTO_DISCONNECT, nullptr, \
            true)                                                                                                      \
    SETTING(DisconnectTime, std::string, "00:00", "[切断時間]", Text, SpinByRule, DisconnectHour,                      \
            IDC_OPT_DISCONNECT_HOUR, nullptr, "23:59")                                                                 \
    SETTING(ConnectTimeout, std::string, "60", "[接続タイムアウト]", Timeout, NoControl, none, 0, nullptr, "90")       \
    SETTING(UsePort2, bool, false, "[ポート２を使用]", Port2, CheckByRule, UsePort2, IDC_OPT_USE_PORT2, nullptr, true) \
    SETTING(SyslogSimple, bool, true, "[SysLogを簡易的に表示]", OnOff, Check, SyslogSimple, IDC_OPT_SYSLOG_SIMPLE,     \
            nullptr, false)                                                                                            \
    SETTING(SyslogAddTime, bool, true, "[SysLogに時間を付加]", OnOff, Check, SyslogAddTime, IDC_OPT_SYSLOG_ADD_TIME,   \
            nullptr, false)                                                                                            \
    SETTING(SyslogAutoSave, bool, false, "[SysLogを自動保存]", OnOff, Check, SyslogAutoSave, IDC_OPT_SYSLOG_AUTO_SAVE, \
            nullptr, true)                                                                                             \
    SETTING(UseDialUpWatcher, bool, false, "[Dial-Up Watcherを使用]", OnOff, Check, UseDialUpWatcher,                  \
            IDC_OPT_USE_DIAL_UP_WATCHER, nullptr, true)                                                                \
    SETTING(DialUpWatcherPath, std::string, "", "[Dial-Up Watcherの場所]", Text, Edit, DialUpWatcherPath,              \
            IDC_OPT_DIAL_UP_WATCHER_PATH, "Dial-Up Watcher構成ファイル「dwctrl32.exe」の場所", "E:\\dw\\dwctrl32.exe") \
    SETTING(DialUpWatcherName1, std::string, "", "[Dial-Up Watcherの接続名１]", Text, Edit, DialUpWatcherName1,        \
            IDC_OPT_DIAL_UP_WATCHER_NAME1, "登録アクセスポイントの名称 ISP１", "接続1")                                \
    SETTING(DialUpWatcherName2, std::string, "", "[Dial-Up Watcherの接続名２]", Text, Edit, DialUpWatcherName2,        \
            IDC_OPT_DIAL_UP_WATCHER_NAME2, "登録アクセスポイントの名称 ISP２", "接続2")                                \
    SETTING(ConnectSound, std::string, "", "[接続時のサウンド]", Text, Edit, ConnectSound, IDC_OPT_CONNECT_SOUND,      \
            "サウンドの接続時", "up.wav")                                                                              \
    SETTING(DisconnectSound, std::string, "", "[切断時のサウンド]", Text, Edit, DisconnectSound,                       \
            IDC_OPT_DISCONNECT_SOUND, "サウンドの切断時", "down.wav")                                                  \
    SETTING(SyslogEnabled, std::string, OnText, "[SysLogを記録]", Text, CheckByRule, SyslogEnabled,                    \
            IDC_OPT_SYSLOG_ENABLED, nullptr, "off")                                                                    \
    SETTING(SyslogLineBreaks, bool, true, "[SysLogに改行を記録]", OnOff, Check, SyslogLineBreaks,                      \
            IDC_OPT_SYSLOG_LINE_BREAKS, nullptr, false)                                                                \
    SETTING(TraySwap, bool, false, "[アイコントレイの動作を入れ替え]", OnOff, Check, TraySwap, IDC_OPT_TRAY_SWAP,      \
            nullptr, true)                                                                                             \
    SETTING(SoundAfterMinutes, std::string, "30", "[サウンド規定時間]", Minutes, Edit, SoundAfterMinutes,              \
            IDC_OPT_SOUND_AFTER_MINUTES, nullptr, "1439")                                                              \
    SETTING(SoundAfterFile, std::string, "", "[規定時間後にならすサウンド]", Text, Edit, SoundAfterFile,               \
            IDC_OPT_SOUND_AFTER_FILE, "サウンドの分経過時", "late.wav")                                                \
    SETTING(NoUtility, bool, true, "[ユーティリティを使用しない]", OnOff, Check, NoUtility, IDC_OPT_NO_UTILITY,        \
            nullptr, false)                                                                                            \
    SETTING(MultiAccount, bool, false, "[マルチアカウント]", MultiAccountMode, CheckByRule, MultiAccount,              \
            IDC_OPT_MULTI_ACCOUNT, nullptr, true)                                                                      \
    SETTING(DialUpWatcherName3, std::string, "", "[Dial-Up Watcherの接続名３]", Text, Edit, DialUpWatcherName3,        \
            IDC_OPT_DIAL_UP_WATCHER_NAME3, "登録アクセスポイントの名称 ISP３", "接続3")                                \
    SETTING(MasterMode, bool, false, "[RoutavistaMonitorマスター設定]", OnOff, Check, MasterMode, IDC_OPT_MASTER_MODE, \
            nullptr, true)                                                                                             \
    SETTING(NickName, std::string, "", "[ニックネーム]", Text, Edit, NickName, IDC_OPT_NICK_NAME,                      \
            "パソコンのニックネーム", "たろうのPC")                                                                    \
    SETTING(RedialCount, std::uint16_t, 255, "[リダイアル回数]", Redials, CheckByRule, AutoRedial,                     \
            IDC_OPT_AUTO_REDIAL, nullptr, 3)                                                                           \
    SETTING(IspName1, std::string, "ISP1", "[ISP1 の名称]", NameOrDefault, Edit, IspName1, IDC_OPT_ISP_NAME1,          \
            "ISP1 の名称", "いち")                                                                                     \
    SETTING(IspName2, std::string, "ISP2", "[ISP2 の名称]", NameOrDefault, Edit, IspName2, IDC_OPT_ISP_NAME2,          \
            "ISP2 の名称", "に")                                                                                       \
    SETTING(IspName3, std::string, "ISP3", "[ISP3 の名称]", NameOrDefault, Edit, IspName3, IDC_OPT_ISP_NAME3,          \
            "ISP3 の名称", "さん")                                                                                     \
    SETTING(RouterSendersOnly, bool, false, "[受信をルータとそのネットワークに限定]", OnOff, Check, RouterSendersOnly, \
            IDC_OPT_ROUTER_SENDERS_ONLY, nullptr, true)

// What a row makes of a settings struct and of a form: its field, its form value.
#define RM_SETTING_FIELD(name, type, initial, ...) type name = initial;
#define RM_FORM_FIELD(name, type, initial, label, codec, control, form, ...) RM_FORM_FIELD_##control(form)
#define RM_FORM_FIELD_Edit(form) std::string form;
#define RM_FORM_FIELD_Check(form) bool form = false;
#define RM_FORM_FIELD_CheckByRule(form) bool form = false;
#define RM_FORM_FIELD_SpinByRule(form)
#define RM_FORM_FIELD_NoControl(form)
#define RM_NOTHING(...)
