// Starting a launcher entry's program and finding the window that stands for
// it.
#pragma once

#include <windows.h>

#include <string>

#include "ports.h"

namespace rm::win {

// CreateProcess with the program's own window placement; a program whose
// manifest asks for administrator rights goes through the shell instead.
ProgramStart StartProgram(HWND owner, const std::string& programFile, const std::string& arguments,
                          const std::string& folder);
// Through the shell, which asks the user when the program wants
// administrator rights; called off by the user gives no failure text.
ProgramStart StartThroughShell(HWND owner, const std::string& programFile, const std::string& arguments,
                               const std::string& folder);
// Why a program did not start, for the user.
std::string StartFailureText(DWORD error);

// The process's first visible, captioned, unowned top-level window, else its
// first unowned one.
HWND FindMainWindowOfProcess(DWORD processId);
// The first visible, captioned, unowned top-level window of any running copy
// of programFile.
HWND FindMainWindowOfProgram(const std::string& programFile);

}  // namespace rm::win
