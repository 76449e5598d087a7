// AboutBox: the program's name with its version and the tray icon's
// current picture.
#pragma once

#include <string>

#include <windows.h>

namespace rm::win {

// Shows the modal window; returns when the user closes it.
void ShowAboutBox(HWND owner, const std::string& versionText, HICON picture);

}  // namespace rm::win
