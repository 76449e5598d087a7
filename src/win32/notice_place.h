// Where notices go: at the corner of the screen where the notification area
// is, the later ones beside the earlier ones instead of over them.
#pragma once

#include <windows.h>

namespace rm::win {

// Moves the notice, of its present size, to its place and shows it there
// above the other windows without taking the activation.
void ShowAtTrayCorner(HWND notice);
// The notice is gone: its place is free again.
void ForgetNoticePlace(HWND notice);

}  // namespace rm::win
