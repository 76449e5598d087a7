// Dialogs from resource templates, sized in pixels at the window's scale.
#pragma once

#include <windows.h>

namespace rm::win {

// Gives the client area its size in pixels at the window's scale, moving and
// sizing the controls in proportion: dialog units follow the font's average
// width, which differs between fonts of the same name on different systems.
void FitClientArea(HWND dialog, int width, int height);
// The program's icon in the dialog's title bar and task switcher.
void TakeProgramIcon(HWND dialog);

}  // namespace rm::win
