// TAboutbox: the program's name with its version and the current tray icon.
#pragma once

#include <string>

#include <windows.h>

#include "state/view.h"

namespace rm::win {

// Shows the modal window; returns when the user closes it.
void ShowAboutBox(HINSTANCE instance, HWND owner, const std::string& versionText, TrayIconKind icon);

}  // namespace rm::win
