// The daily syslog files: syslog\yyyymmdd.log in the program folder.
#pragma once

#include <filesystem>
#include <string_view>

#include "monitor.h"

namespace rm {

// The file that a line written at the given time goes to.
std::filesystem::path SyslogFilePath(const std::filesystem::path& appDir, DateTime when);

// Appends the line's bytes and CR LF to today's file, today being the moment
// of writing. False on any failure; nothing is reported.
bool SaveSyslog(Monitor& m, std::string_view line);

}  // namespace rm
