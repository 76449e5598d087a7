#include "dialog_layout.h"

#include <commctrl.h>

#include <string_view>

#include "resource.h"
#include "wide.h"

namespace rm::win {

void FitClientArea(HWND dialog, int width, int height) {
    const UINT dpi = GetDpiForWindow(dialog);
    const int w = MulDiv(width, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    const int h = MulDiv(height, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    RECT client{};
    GetClientRect(dialog, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        int childHeight = MulDiv(r.bottom - r.top, h, client.bottom);
        // A drop-down list's height includes its list, which keeps its size.
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        RECT dropped{};
        if (std::wstring_view(kind) == WC_COMBOBOXW &&
            SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))) {
            childHeight = dropped.bottom - dropped.top;
        }
        MoveWindow(child, MulDiv(r.left, w, client.right), MulDiv(r.top, h, client.bottom),
                   MulDiv(r.right - r.left, w, client.right), childHeight, FALSE);
    }
    RECT before{};
    GetWindowRect(dialog, &before);
    RECT frame{0, 0, w, h};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)), dpi);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    // Still centred where the dialog manager put it.
    SetWindowPos(dialog, nullptr, (before.left + before.right - frameWidth) / 2,
                 (before.top + before.bottom - frameHeight) / 2, frameWidth, frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string ControlText(HWND dialog, int control) {
    const HWND window = GetDlgItem(dialog, control);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void SetControlText(HWND dialog, int control, const std::string& text) {
    SetDlgItemTextW(dialog, control, Widen(text).c_str());
}

void TakeProgramIcon(HWND dialog) {
    const auto icon = reinterpret_cast<LPARAM>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM)));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, icon);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, icon);
}

}  // namespace rm::win
