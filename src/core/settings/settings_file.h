// The settings file RMonitor.ini: read at start, written back whole.
#pragma once

#include <string>
#include <string_view>

#include "monitor/monitor.h"

namespace rm {

inline constexpr const char* SettingsFileName = "RMonitor.ini";

// How far reading a settings file got.
enum class SettingsRead {
    Defaults,  // no usable version, or one below 1.0: nothing applied
    Stopped,   // a value that must be a number was not: the values before it applied
    Complete,  // every value applied
};

// Applies the values of AppDir/RMonitor.ini to the running state; a damaged
// file leaves the defaults without a message.
void ReadSettingsFile(Monitor& m);
// The same for the bytes of such a file.
SettingsRead ApplySettingsText(MainState& s, ViewModel& view, std::string_view bytes);

// The file's bytes for the running state.
std::string SettingsFileText(const MainState& s, const ViewModel& view);
// Replaces AppDir/RMonitor.ini; a failure is reported with a message.
void WriteSettingsFile(Monitor& m);

// The save action: the settings file, then the launcher file, then the
// launcher items of the menu.
void SaveAllSettings(Monitor& m);

}  // namespace rm
