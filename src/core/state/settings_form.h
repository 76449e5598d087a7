// What the settings dialog TOption1 shows: one value per control, named as
// the controls are, and which controls are shown or enabled.
#pragma once

#include <array>
#include <string>

namespace rm {

// The dialog's pages, in the order of their tabs.
enum class SettingsPage { Basic, Network, Syslog, Time, Launcher, DialUpWatcher, Sound, IspNames };

struct SettingsForm {
    // "基本設定"
    std::string Edit2, Edit1;
    bool subportBox1 = false, TrayCheckBox = false, riskBox = true, MACbox1 = false;
    bool MACbox1Visible = true;
    // "ネットワーク"
    bool MasterBox = false;
    std::string PCname;
    bool RedialBox = false;
    // Syslog only from the router, peer texts only from its subnet.
    bool SenderBox = false;
    // "SysLog"; the four boxes below the first are enabled only while it is checked.
    bool SyslogmainBox = false, SysLogTypeBox = false, SysLogTimeBox = false, SyslogSaveBox = false,
         SysLoglineBox = false;
    bool SyslogBoxesEnabled = true;
    // "時間設定"
    bool startBox1 = false, endBox2 = false;
    int SpinEdit1 = 0, SpinEdit2 = 0, SpinEdit3 = 0, SpinEdit4 = 0;
    // "ランチャー": soft1..soft6
    std::array<std::string, 6> soft{};
    // "Dial-Up Watcher"; Edit3, Button3 and dwport1..3 are enabled only while DWBox is checked.
    bool DWBox = false;
    bool DialUpWatcherEnabled = true;
    std::string Edit3, dwport1, dwport2, dwport3;
    // "サウンド"
    std::string Edit5, Edit6, delyStime, Edit4;
    // "ISP 名称"
    std::string Edit7, Edit8, Edit9;
    // The file-open dialog's filter, kept between browses of one dialog.
    std::string OpenDialogFilter;
};

// The controls whose value a save can refuse, named as the form's fields.
enum class FormField {
    None,
    Edit2, Edit1,
    PCname,
    SpinEdit3,
    soft1, soft2, soft3, soft4, soft5, soft6,
    Edit3, dwport1, dwport2, dwport3,
    Edit5, Edit6, delyStime, Edit4,
    Edit7, Edit8, Edit9,
};

// What "設定" came to: saved, or refused for the value in one control, which
// then takes the keyboard focus while the dialog stays open.
struct SaveResult {
    FormField Refused = FormField::None;
    explicit operator bool() const { return Refused == FormField::None; }
};

// What the open dialog asks of the program while it runs.
class SettingsFormEvents {
public:
    virtual ~SettingsFormEvents() = default;
    // "設定": the dialog closes when it saved.
    virtual SaveResult Button1Click(const SettingsForm& form) = 0;
    // A "設定" button of the "ランチャー" page: i is 1..6.
    virtual void softButtonClick(int i, const std::string& title) = 0;
    virtual void riskBoxClick(SettingsForm& form) = 0;
    // A "テスト" button with its edit's text.
    virtual void TestSound(const std::string& file) = 0;
};

}  // namespace rm
