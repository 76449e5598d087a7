#include "dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "diagnostics.h"
#include "message_box.h"
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

// A dialog inside the dialog, such as a page.
bool IsChildDialog(HWND window) {
    wchar_t kind[8] = {};
    GetClassNameW(window, kind, 8);
    return std::wstring_view(kind) == L"#32770";
}

// Moves and sizes every control in proportion from one client area to
// another, those of the dialogs inside it too. A drop-down list's height
// includes its list, whose height only the scale changes: listScale / listUnit.
void MoveControls(HWND dialog, SIZE from, SIZE to, int listScale, int listUnit) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        int height = MulDiv(r.bottom - r.top, to.cy, from.cy);
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        RECT dropped{};
        if (std::wstring_view(kind) == WC_COMBOBOXW &&
            SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))) {
            height = MulDiv(dropped.bottom - dropped.top, listScale, listUnit);
        }
        MoveWindow(child, MulDiv(r.left, to.cx, from.cx), MulDiv(r.top, to.cy, from.cy),
                   MulDiv(r.right - r.left, to.cx, from.cx), height, FALSE);
        if (IsChildDialog(child)) MoveControls(child, from, to, listScale, listUnit);
    }
}

void SetControlsFont(HWND dialog, HFONT font) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (IsChildDialog(child)) SetControlsFont(child, font);
    }
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// The modeless dialogs of this thread, and the filter that hands them their
// keys while Windows runs a modal loop (a box, a dialog of ours, a file
// dialog). The filter lives while one of them does.
struct ModelessDialogs {
    std::vector<HWND> dialogs;
    HHOOK filter = nullptr;
    // The message IsDialogMessageW works on: it passes it to the filter too.
    const MSG* taking = nullptr;
};
thread_local ModelessDialogs modeless;

LRESULT CALLBACK FilterModalLoop(int code, WPARAM wp, LPARAM lp) {
    // Menus and a window being moved keep their keys.
    if ((code == MSGF_DIALOGBOX || code == MSGF_MESSAGEBOX) && TakeDialogMessage(*reinterpret_cast<MSG*>(lp))) {
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void AddModeless(HWND dialog) {
    if (modeless.dialogs.empty()) {
        modeless.filter = SetWindowsHookExW(WH_MSGFILTER, FilterModalLoop, nullptr, GetCurrentThreadId());
        if (!modeless.filter) LogLastError(L"SetWindowsHookExW", L"WH_MSGFILTER");
    }
    modeless.dialogs.push_back(dialog);
}

void RemoveModeless(HWND dialog) {
    std::erase(modeless.dialogs, dialog);
    if (modeless.dialogs.empty() && modeless.filter) {
        UnhookWindowsHookEx(modeless.filter);
        modeless.filter = nullptr;
    }
}

bool SameMessage(const MSG& a, const MSG& b) {
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam &&
           a.time == b.time;
}

}  // namespace

bool TakeDialogMessage(MSG& msg) {
    if (modeless.taking && SameMessage(*modeless.taking, msg)) return false;
    for (const HWND dialog : modeless.dialogs) {
        if (dialog != msg.hwnd && !IsChild(dialog, msg.hwnd)) continue;
        const MSG* outer = std::exchange(modeless.taking, &msg);
        const bool taken = IsDialogMessageW(dialog, &msg) != FALSE;
        modeless.taking = outer;
        return taken;
    }
    return false;
}

void RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TakeDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

Dialog::~Dialog() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    if (modeless_) RemoveModeless(hwnd_);
    LogText(L"dialog outlived its object, left to the system: " + std::to_wstring(layout_.Id));
}

INT_PTR Dialog::ShowModal(HWND owner, const char* failure) {
    modeless_ = false;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(layout_.Id), owner, Proc,
                                           reinterpret_cast<LPARAM>(this));
    if (result == -1) {
        LogLastError(L"DialogBoxParamW", L"dialog " + std::to_wstring(layout_.Id));
        throw std::runtime_error(failure);
    }
    return result;
}

void Dialog::End(INT_PTR result) { EndDialog(hwnd_, result); }

bool Dialog::CreateModeless(HWND owner) {
    modeless_ = true;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    if (!(layout_.InMemory ? CreateDialogIndirectParamW(instance, layout_.InMemory, owner, Proc, self)
                           : CreateDialogParamW(instance, MAKEINTRESOURCEW(layout_.Id), owner, Proc, self))) {
        LogLastError(L"CreateDialogParamW", L"dialog " + std::to_wstring(layout_.Id));
        return false;
    }
    AddModeless(hwnd_);
    return true;
}

void Dialog::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

INT_PTR Dialog::HandleMessage(UINT, WPARAM, LPARAM) { return FALSE; }

std::string Dialog::Text(int control) const { return Text(GetDlgItem(hwnd_, control)); }

std::string Dialog::Text(HWND window) const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void Dialog::SetText(int control, const std::string& text) { SetText(GetDlgItem(hwnd_, control), text); }

void Dialog::SetText(HWND control, const std::string& text) { SetWindowTextW(control, Widen(text).c_str()); }

INT_PTR CALLBACK Dialog::Proc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        reinterpret_cast<Dialog*>(lp)->hwnd_ = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        if (self->modeless_) RemoveModeless(dialog);
        self->hwnd_ = nullptr;
        self->font_.reset();
        self->OnDestroyed();
        return FALSE;
    }
    INT_PTR result = FALSE;
    Guarded(dialog, [&] {
        if (msg == WM_INITDIALOG) self->OnInitDialog();
        if (msg == WM_DPICHANGED) self->OnDpiChanged(LOWORD(wp), *reinterpret_cast<const RECT*>(lp));
        result = self->HandleMessage(msg, wp, lp);
    });
    // Handled here: the dialog manager would scale it a second time.
    return msg == WM_DPICHANGED ? TRUE : result;
}

// Dialog units follow the font's average width, which differs between fonts
// of the same name on different systems: the size is set in pixels.
void Dialog::OnInitDialog() {
    dpi_ = GetDpiForWindow(hwnd_);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    if (font && GetObjectW(font, sizeof face_, &face_)) faceDpi_ = dpi_;
    TakeIcons();
    OnCreateChildren();
    const SIZE from = ClientSize(hwnd_);
    if (!layout_.ClientWidth || from.cx <= 0 || from.cy <= 0) return;
    const SIZE to{Scale(layout_.ClientWidth), Scale(layout_.ClientHeight)};
    MoveControls(hwnd_, from, to, 1, 1);
    RECT before{};
    GetWindowRect(hwnd_, &before);
    RECT frame{0, 0, to.cx, to.cy};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)), dpi_);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Still centred where the dialog manager put it.
    SetWindowPos(hwnd_, nullptr, (before.left + before.right - width) / 2, (before.top + before.bottom - height) / 2,
                 width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::OnDpiChanged(UINT dpi, const RECT& suggested) {
    if (faceDpi_) {
        LOGFONTW face = face_;
        face.lfHeight = MulDiv(face_.lfHeight, static_cast<int>(dpi), static_cast<int>(faceDpi_));
        OwnedFont scaled(CreateFontIndirectW(&face));
        SetControlsFont(hwnd_, scaled.get());
        font_ = std::move(scaled);
    }
    const SIZE from = ClientSize(hwnd_);
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (from.cx > 0 && from.cy > 0) {
        MoveControls(hwnd_, from, ClientSize(hwnd_), static_cast<int>(dpi), static_cast<int>(dpi_));
    }
    dpi_ = dpi;
    TakeIcons();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Dialog::TakeIcons() {
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(ProgramIcon(GetSystemMetricsForDpi(SM_CXSMICON, dpi_))));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(ProgramIcon(GetSystemMetricsForDpi(SM_CXICON, dpi_))));
}

}  // namespace rm::win
