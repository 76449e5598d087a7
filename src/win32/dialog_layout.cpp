#include "dialog_layout.h"

#include <commctrl.h>

#include <map>
#include <string>
#include <string_view>

#include "diagnostics.h"
#include "handles.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

// Drawn for its size from the nearest picture of the icon file. Kept for the
// program's life: the dialogs come and go, and ask for few sizes.
HICON ProgramIcon(int size) {
    static std::map<int, OwnedIcon> loaded;
    OwnedIcon& icon = loaded[size];
    if (!icon) {
        icon.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                                 size, size, LR_DEFAULTCOLOR)));
        if (!icon) LogLastError(L"LoadImageW", L"program icon " + std::to_wstring(size));
    }
    return icon.get();
}

}  // namespace

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
    const UINT dpi = GetDpiForWindow(dialog);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(ProgramIcon(GetSystemMetricsForDpi(SM_CXSMICON, dpi))));
    SendMessageW(dialog, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(ProgramIcon(GetSystemMetricsForDpi(SM_CXICON, dpi))));
}

}  // namespace rm::win
