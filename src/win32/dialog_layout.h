// Dialogs from resource templates: their procedure, their controls' texts,
// and their size in pixels at the window's scale.
#pragma once

#include <windows.h>

#include <string>

#include "message_box.h"

namespace rm::win {

// The body of a dialog procedure whose object is kept in the dialog's user
// data from WM_INITDIALOG on; handle(self) handles the message. Errors end
// in the general error box, never in Windows.
template <class Self, class Handle>
INT_PTR DispatchDialog(HWND dialog, UINT msg, LPARAM lp, Handle handle) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lp);
    auto* self = reinterpret_cast<Self*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    INT_PTR result = FALSE;
    Guarded(dialog, [&] { result = handle(*self); });
    return result;
}

std::string ControlText(HWND dialog, int control);
void SetControlText(HWND dialog, int control, const std::string& text);

// Gives the client area its size in pixels at the window's scale, moving and
// sizing the controls in proportion: dialog units follow the font's average
// width, which differs between fonts of the same name on different systems.
void FitClientArea(HWND dialog, int width, int height);
// The program's icon in the dialog's title bar and task switcher, each at
// its own size for the dialog's scale.
void TakeProgramIcon(HWND dialog);

}  // namespace rm::win
