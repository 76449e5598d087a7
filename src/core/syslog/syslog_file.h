// The daily syslog files: syslog\yyyymmdd.log in the program folder.
#pragma once

#include <filesystem>
#include <string_view>

#include "monitor.h"

namespace rm {

// The file that a line written at the given time goes to.
std::filesystem::path SyslogFilePath(const std::filesystem::path& appDir, DateTime when);

// Keeps the line for the file of the day it arrived.
void SaveSyslog(Monitor& m, std::string_view line, DateTime arrived);
// Writes the lines kept so far; failures stay silent but reach the log.
void FlushSyslog(Monitor& m);
// Writes and closes today's file: at exit, when saving is switched off and
// when no line came for a while.
void CloseSyslog(Monitor& m);

}  // namespace rm
