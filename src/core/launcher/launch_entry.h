// Starting a launcher entry's program, at most one copy while it runs.
#pragma once

#include <string>

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// How long a started program may take to wait for input before its window
// is looked for.
inline constexpr int LaunchIdleWaitMilliseconds = 10'000;

// The working folder: WorkFolder, or else the folder of ProgramFile without
// its trailing backslash, unless that folder is a drive root such as D:\.
std::string LaunchFolder(const LaunchEntryTexts& entry);
// The quoted program file, then a blank and the arguments when there are any.
std::string LaunchCommandLine(const std::string& programFile, const std::string& arguments);

// Starts entry i (1..6) unless the program it started last still runs; false
// when its program file does not exist, which the launch notice tells as a
// failed start.
Task<bool> LaunchEntry(Monitor& m, int i);
// Entry i's window (0..5): the one found at its start, or, for a program that
// showed it only later (a slow start), the one it has now; 0 for none.
WindowHandle LaunchWindow(Monitor& m, std::size_t at);
// Creates the process of entry i in folder and records its handle and main
// window; a process that cannot be created leaves the record as it was and
// is told in the launch notice.
Task<bool> StartLaunchProgram(Monitor& m, int i, std::string folder);
// The user closed the launch notice: its failures are told.
void LaunchNoticeClosed(Monitor& m);

}  // namespace rm
