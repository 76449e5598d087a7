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
    SaveResult Button1Click(const SettingsForm& form) override { return rm::Button1Click(m_, form); }
    void softButtonClick(int i, const std::string& title) override { OpenLaunchEntry(m_, i, title); }
    void riskBoxClick(SettingsForm& form) override { rm::riskBoxClick(form, m_.ports.Dialogs); }
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
    form.SpinEdit1 = Hour(s.ConnectTime);
    form.SpinEdit2 = Minute(s.ConnectTime);
    form.SpinEdit3 = Hour(s.DisconnectTime);
    form.SpinEdit4 = Minute(s.DisconnectTime);
    form.SyslogmainBox = IsOn(s.SyslogEnabled);
    form.subportBox1 = s.UsePort2;
    SyslogmainBoxClick(form);
    DWBoxClick(form);
    // The box starts checked, so only unchecking it runs its handler, which
    // hides MACbox1 without a message; MACbox1 takes its mark all the same.
    form.MACbox1Visible = s.NoUtility;
    form.MACbox1 = s.MultiAccount;
    form.RedialBox = s.RedialCount != 255;
    for (std::size_t i = 0; i < form.soft.size(); ++i) form.soft[i] = m.s.launcher.LaunchEntries[i].Title;
    return form;
}

void DWBoxClick(SettingsForm& form) { form.DialUpWatcherEnabled = form.DWBox; }

void SyslogmainBoxClick(SettingsForm& form) { form.SyslogBoxesEnabled = form.SyslogmainBox; }

void riskBoxClick(SettingsForm& form, DialogPort& dialogs) {
    if (form.riskBox) {
        dialogs.ShowMessage(RiskWarning, {});
        form.MACbox1Visible = true;
    } else {
        form.MACbox1Visible = false;
        form.MACbox1 = false;
    }
}

const std::string& BrowseFilter(SettingsForm& form, BrowseButton button) {
    switch (button) {
    case BrowseButton::Button2: break;
    case BrowseButton::Button3: form.OpenDialogFilter = "Dial-Up Watcherファイル |dwctrl32.exe"; break;
    case BrowseButton::Button4:
    case BrowseButton::Button5:
    case BrowseButton::Button8: form.OpenDialogFilter = "wavファイル |*.wav"; break;
    }
    return form.OpenDialogFilter;
}

void TestSound(Monitor& m, const std::string& file) {
    if (!file.empty()) m.ports.Sound.PlayWave(file);
}

void option_n1Click(Monitor& m) {
    const MenuWindow window(m.view.Menu, Item::option_n1);
    SettingsForm form = FillSettingsForm(m);
    DialogEvents events(m);
    m.ports.Dialogs.ShowSettingsDialog(form, events);
}

void SaveSettingsUnseen(Monitor& m) { Button1Click(m, FillSettingsForm(m)); }

}  // namespace rm
