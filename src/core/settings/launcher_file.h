// The launcher file RVlaunch.ini: six entries of six texts.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "monitor.h"

namespace rm {

using LaunchEntries = std::array<LaunchEntryTexts, 6>;

inline constexpr const char* LauncherFileName = "RVlaunch.ini";

// Fills the launcher entries from AppDir/RVlaunch.ini. A file of another
// program is ignored; one whose version is not a number is reported.
void ReadLauncherFile(Monitor& m);
// The same for the bytes of such a file; false when its version is not a number.
bool ApplyLauncherText(LaunchEntries& entries, std::string_view bytes);

// Whether such bytes hold a launcher file of this program with every line of
// its layout.
bool LauncherTextComplete(std::string_view bytes);

// The file's bytes for the running state.
std::string LauncherFileText(const LaunchEntries& entries, const std::string& versionText);
// Replaces AppDir/RVlaunch.ini; a failure is reported with a message.
void WriteLauncherFile(Monitor& m);

}  // namespace rm
