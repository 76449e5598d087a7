// The settings file RMonitor.ini: read at start, written back whole.
#pragma once

#include <string>
#include <string_view>

#include "monitor.h"
#include "settings/settings_table.h"

namespace rm {

inline constexpr const char* SettingsFileName = "RMonitor.ini";

// How far reading a settings file got.
enum class SettingsRead {
    Defaults,  // no usable version, or one below 1.0: nothing applied
    Stopped,   // a value that must be a number was not: the values before it applied
    Complete,  // every value applied
};

// Applies the values of AppDir/RMonitor.ini to the running state, then what
// follows from them (the tray menus, the redials left); a damaged file
// leaves the defaults without a message. Missing or unreadable: Defaults.
SettingsRead ReadSettingsFile(Monitor& m);
// The same for the bytes of such a file, without what follows from them.
SettingsRead ApplySettingsText(StoredSettings to, std::string_view bytes);

// The file's bytes for the running state.
std::string SettingsFileText(ConstStoredSettings from, const std::string& versionText);
// Replaces AppDir/RMonitor.ini; a failure is reported with a message.
void WriteSettingsFile(Monitor& m);

// Both menus of the tray icon's buttons, by TraySwap.
void ApplyTrayMenus(const Settings& s, TrayView& tray);

// The save action: the settings file, then the launcher file, then the
// launcher items of the menu.
void SaveAllSettings(Monitor& m);

}  // namespace rm
