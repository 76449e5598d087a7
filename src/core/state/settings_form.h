// What the settings dialog SettingsDialog shows: one value per control, named as
// the controls are, and which controls are shown or enabled.
#pragma once

#include <array>
#include <string>

#include "state/settings_list.h"

namespace rm {

struct SettingsForm {
    // The value of each setting's control, named as the control
    // (settings_list.h).
    RM_SETTINGS(RM_FORM_FIELD, RM_NOTHING)
    // The time's spin edits: hours and minutes of ConnectTime and of DisconnectTime.
    int ConnectHour = 0, ConnectMinute = 0, DisconnectHour = 0, DisconnectMinute = 0;
    // "ランチャー": LaunchTitle1..LaunchTitle6
    std::array<std::string, 6> LaunchTitles{};
    // MultiAccount is shown only while NoUtility is checked.
    bool MultiAccountVisible = true;
    // The four SysLog boxes below SyslogEnabled are enabled only while it is checked.
    bool SyslogBoxesEnabled = true;
    // DialUpWatcherPath, BrowseButton::DialUpWatcherPath and DialUpWatcherName1..3 are enabled only while
    // UseDialUpWatcher is checked.
    bool DialUpWatcherEnabled = true;
    // The file-open dialog's filter, kept between browses of one dialog.
    std::string OpenDialogFilter;
};

// What "設定" came to: saved, or refused for the value in one control (by
// its id), which then takes the keyboard focus while the dialog stays open.
struct SaveResult {
    int Refused = 0;
    explicit operator bool() const { return Refused == 0; }
};

// What the open dialog asks of the program while it runs.
class SettingsFormEvents {
public:
    virtual ~SettingsFormEvents() = default;
    // "設定": the dialog closes when it saved.
    virtual SaveResult SaveSettingsForm(const SettingsForm& form) = 0;
    // The button beside launcher entry i (1..6) on the "ランチャー" page.
    virtual void OpenLaunchEntryDialog(int i, const std::string& title) = 0;
    virtual void NoUtilityToggled(SettingsForm& form) = 0;
    // A "テスト" button with its edit's text.
    virtual void TestSound(const std::string& file) = 0;
};

}  // namespace rm
