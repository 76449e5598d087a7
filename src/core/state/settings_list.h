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

#define RM_SETTINGS(SETTING, FILE_ONLY)                                                                              \
    SETTING(UtilityPath, std::string, "C:\\Program Files\\Qorvalabs\\Routavista\\DAZera.exe", "[ユーティリティー]", \
            Text, Edit, Edit2, IDC_OPT_EDIT2, "Routavistaユーティリティの場所", "D:\\ユーティリティ\\DAZera.exe")    \
    SETTING(RouterAddress, std::string, "192.168.0.1", "[IPアドレス]", Text, Edit, Edit1, IDC_OPT_EDIT1, nullptr,       \
            "10.1.2.3")                                                                                              \
    FILE_ONLY(Port, Unused, "[接続ポート]")                                                                          \
    FILE_ONLY(Left, Coordinate<&PanelPosition::Left>, "[X座標]")                                                     \
    FILE_ONLY(Top, Coordinate<&PanelPosition::Top>, "[Y座標]")                                                       \
    SETTING(AutoConnect, bool, false, "[自動接続]", OnOff, Check, startBox1, IDC_OPT_STARTBOX1, nullptr, true)       \
    SETTING(ConnectTime, std::string, "00:00", "[接続時間]", Text, SpinByRule, SpinEdit1, IDC_OPT_SPINEDIT1, nullptr, \
            "07:05")                                                                                                 \
    SETTING(AutoDisconnect, bool, false, "[自動切断]", OnOff, Check, endBox2, IDC_OPT_ENDBOX2, nullptr, true)        \
    SETTING(DisconnectTime, std::string, "00:00", "[切断時間]", Text, SpinByRule, SpinEdit3, IDC_OPT_SPINEDIT3,       \
            nullptr, "23:59")                                                                                        \
    SETTING(ConnectTimeout, std::string, "60", "[接続タイムアウト]", Timeout, NoControl, none, 0, nullptr, "90")     \
    SETTING(UsePort2, bool, false, "[ポート２を使用]", Port2, CheckByRule, subportBox1, IDC_OPT_SUBPORTBOX1, nullptr, \
            true)                                                                                                    \
    SETTING(SyslogSimple, bool, true, "[SysLogを簡易的に表示]", OnOff, Check, SysLogTypeBox, IDC_OPT_SYSLOGTYPEBOX,   \
            nullptr, false)                                                                                          \
    SETTING(SyslogAddTime, bool, true, "[SysLogに時間を付加]", OnOff, Check, SysLogTimeBox, IDC_OPT_SYSLOGTIMEBOX,    \
            nullptr, false)                                                                                          \
    SETTING(SyslogAutoSave, bool, false, "[SysLogを自動保存]", OnOff, Check, SyslogSaveBox, IDC_OPT_SYSLOGSAVEBOX,    \
            nullptr, true)                                                                                           \
    SETTING(UseDialUpWatcher, bool, false, "[Dial-Up Watcherを使用]", OnOff, Check, DWBox, IDC_OPT_DWBOX, nullptr,    \
            true)                                                                                                    \
    SETTING(DialUpWatcherPath, std::string, "", "[Dial-Up Watcherの場所]", Text, Edit, Edit3, IDC_OPT_EDIT3,          \
            "Dial-Up Watcher構成ファイル「dwctrl32.exe」の場所", "E:\\dw\\dwctrl32.exe")                             \
    SETTING(DialUpWatcherName1, std::string, "", "[Dial-Up Watcherの接続名１]", Text, Edit, dwport1, IDC_OPT_DWPORT1, \
            "登録アクセスポイントの名称 ISP１", "接続1")                                                             \
    SETTING(DialUpWatcherName2, std::string, "", "[Dial-Up Watcherの接続名２]", Text, Edit, dwport2, IDC_OPT_DWPORT2, \
            "登録アクセスポイントの名称 ISP２", "接続2")                                                             \
    SETTING(ConnectSound, std::string, "", "[接続時のサウンド]", Text, Edit, Edit5, IDC_OPT_EDIT5, "サウンドの接続時", \
            "up.wav")                                                                                                \
    SETTING(DisconnectSound, std::string, "", "[切断時のサウンド]", Text, Edit, Edit6, IDC_OPT_EDIT6,                 \
            "サウンドの切断時", "down.wav")                                                                          \
    SETTING(SyslogEnabled, std::string, OnText, "[SysLogを記録]", Text, CheckByRule, SyslogmainBox,                   \
            IDC_OPT_SYSLOGMAINBOX, nullptr, "off")                                                                   \
    SETTING(SyslogLineBreaks, bool, true, "[SysLogに改行を記録]", OnOff, Check, SysLoglineBox, IDC_OPT_SYSLOGLINEBOX, \
            nullptr, false)                                                                                          \
    SETTING(TraySwap, bool, false, "[アイコントレイの動作を入れ替え]", OnOff, Check, TrayCheckBox,                   \
            IDC_OPT_TRAYCHECKBOX, nullptr, true)                                                                     \
    SETTING(SoundAfterMinutes, std::string, "30", "[サウンド規定時間]", Minutes, Edit, delyStime, IDC_OPT_DELYSTIME,  \
            nullptr, "1439")                                                                                         \
    SETTING(SoundAfterFile, std::string, "", "[規定時間後にならすサウンド]", Text, Edit, Edit4, IDC_OPT_EDIT4,        \
            "サウンドの分経過時", "late.wav")                                                                        \
    SETTING(NoUtility, bool, true, "[ユーティリティを使用しない]", OnOff, Check, riskBox, IDC_OPT_RISKBOX, nullptr,   \
            false)                                                                                                   \
    SETTING(MultiAccount, bool, false, "[マルチアカウント]", MultiAccountMode, CheckByRule, MACbox1, IDC_OPT_MACBOX1, \
            nullptr, true)                                                                                           \
    SETTING(DialUpWatcherName3, std::string, "", "[Dial-Up Watcherの接続名３]", Text, Edit, dwport3, IDC_OPT_DWPORT3, \
            "登録アクセスポイントの名称 ISP３", "接続3")                                                             \
    SETTING(MasterMode, bool, false, "[RoutavistaMonitorマスター設定]", OnOff, Check, MasterBox, IDC_OPT_MASTERBOX,   \
            nullptr, true)                                                                                           \
    SETTING(NickName, std::string, "", "[ニックネーム]", Text, Edit, PCname, IDC_OPT_PCNAME, "パソコンのニックネーム", \
            "たろうのPC")                                                                                            \
    SETTING(RedialCount, std::uint16_t, 255, "[リダイアル回数]", Redials, CheckByRule, RedialBox, IDC_OPT_REDIALBOX,  \
            nullptr, 3)                                                                                              \
    SETTING(IspName1, std::string, "ISP1", "[ISP1 の名称]", NameOrDefault, Edit, Edit7, IDC_OPT_EDIT7, "ISP1 の名称", \
            "いち")                                                                                                  \
    SETTING(IspName2, std::string, "ISP2", "[ISP2 の名称]", NameOrDefault, Edit, Edit8, IDC_OPT_EDIT8, "ISP2 の名称", \
            "に")                                                                                                    \
    SETTING(IspName3, std::string, "ISP3", "[ISP3 の名称]", NameOrDefault, Edit, Edit9, IDC_OPT_EDIT9, "ISP3 の名称", \
            "さん")                                                                                                  \
    SETTING(RouterSendersOnly, bool, false, "[受信をルータとそのネットワークに限定]", OnOff, Check, SenderBox,      \
            IDC_OPT_SENDERBOX, nullptr, true)

// What a row makes of a settings struct and of a form: its field, its form value.
#define RM_SETTING_FIELD(name, type, initial, ...) type name = initial;
#define RM_FORM_FIELD(name, type, initial, label, codec, control, form, ...) RM_FORM_FIELD_##control(form)
#define RM_FORM_FIELD_Edit(form) std::string form;
#define RM_FORM_FIELD_Check(form) bool form = false;
#define RM_FORM_FIELD_CheckByRule(form) bool form = false;
#define RM_FORM_FIELD_SpinByRule(form)
#define RM_FORM_FIELD_NoControl(form)
#define RM_NOTHING(...)
