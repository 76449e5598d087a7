#include "form/settings_form.h"

#include <algorithm>

#include "form/settings_save.h"
#include "launcher/launch_form.h"
#include "menu_window.h"
#include "settings/settings_table.h"
#include "text/numbers.h"

namespace rm {
namespace {

// A spin edit's value from two characters of a stored time; a hand-edited
// time that is not a number shows 0, one out of range the nearest end.
int SpinValue(const std::string& time, std::size_t at, int highest) {
    const auto value = StrToInt(time.size() >= at + 2 ? std::string_view(time).substr(at, 2) : std::string_view());
    return std::clamp(value.value_or(0), 0, highest);
}

int Hour(const std::string& time) { return SpinValue(time, 0, 23); }
int Minute(const std::string& time) { return SpinValue(time, time.size() >= 2 ? time.size() - 2 : 0, 59); }

class DialogEvents : public SettingsFormEvents {
public:
    explicit DialogEvents(Monitor& m) : m_(m) {}
    SaveResult SaveSettingsForm(const SettingsForm& form) override { return rm::SaveSettingsForm(m_, form); }
    void OpenLaunchEntryDialog(int i, const std::string& title) override { OpenLaunchEntry(m_, i, title); }
    void NoUtilityToggled(SettingsForm& form) override { rm::NoUtilityToggled(form, m_.ports.Dialogs); }
    void TestSound(const std::string& file) override { rm::TestSound(m_, file); }

private:
    Monitor& m_;
};

}  // namespace

SettingsForm FillSettingsForm(const Monitor& m) {
    const Settings& s = m.s.settings;
    SettingsForm form;
    for (const SettingRow& row : SettingsTable) {
        if (row.Fill) row.Fill(s, form);
    }
    form.ConnectHour = Hour(s.ConnectTime);
    form.ConnectMinute = Minute(s.ConnectTime);
    form.DisconnectHour = Hour(s.DisconnectTime);
    form.DisconnectMinute = Minute(s.DisconnectTime);
    form.SyslogEnabled = IsOn(s.SyslogEnabled);
    form.UsePort2 = s.UsePort2;
    SyslogEnabledToggled(form);
    UseDialUpWatcherToggled(form);
    // The box starts checked, so only unchecking it runs its handler, which
    // hides MultiAccount without a message; MultiAccount takes its mark all the same.
    form.MultiAccountVisible = s.NoUtility;
    form.MultiAccount = s.MultiAccount;
    form.AutoRedial = s.RedialCount != 255;
    for (std::size_t i = 0; i < form.LaunchTitles.size(); ++i)
        form.LaunchTitles[i] = m.s.launcher.LaunchEntries[i].Title;
    return form;
}

void UseDialUpWatcherToggled(SettingsForm& form) { form.DialUpWatcherEnabled = form.UseDialUpWatcher; }

void SyslogEnabledToggled(SettingsForm& form) { form.SyslogBoxesEnabled = form.SyslogEnabled; }

void NoUtilityToggled(SettingsForm& form, DialogPort& dialogs) {
    if (form.NoUtility) {
        dialogs.ShowMessage(RiskWarning, {});
        form.MultiAccountVisible = true;
    } else {
        form.MultiAccountVisible = false;
        form.MultiAccount = false;
    }
}

const std::string& BrowseFilter(SettingsForm& form, BrowseButton button) {
    switch (button) {
    case BrowseButton::UtilityPath: break;
    case BrowseButton::DialUpWatcherPath: form.OpenDialogFilter = "Dial-Up Watcherファイル |dwctrl32.exe"; break;
    case BrowseButton::ConnectSound:
    case BrowseButton::DisconnectSound:
    case BrowseButton::SoundAfterFile: form.OpenDialogFilter = "wavファイル |*.wav"; break;
    }
    return form.OpenDialogFilter;
}

void TestSound(Monitor& m, const std::string& file) {
    if (!file.empty()) m.ports.Sound.PlayWave(file);
}

void OpenSettings(Monitor& m) {
    const MenuWindow window(m.view.Menu, Item::OpenSettings);
    SettingsForm form = FillSettingsForm(m);
    DialogEvents events(m);
    m.ports.Dialogs.ShowSettingsDialog(form, events);
}

void SaveSettingsUnseen(Monitor& m) { SaveSettingsForm(m, FillSettingsForm(m)); }

}  // namespace rm
