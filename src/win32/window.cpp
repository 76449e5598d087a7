#include "window.h"

#include <set>
#include <string>

#include "diagnostics.h"
#include "message_box.h"

namespace rm::win {

int ScaleToDpi(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }

Window::~Window() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    wchar_t name[64] = {};
    GetClassNameW(hwnd_, name, 64);
    LogText(L"window outlived its object, left to the system: " + std::wstring(name));
}

void Window::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool Window::CreateWindowOf(const WindowClass& cls, const WindowArgs& args) {
    static std::set<std::wstring> registered;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!registered.contains(cls.Name)) {
        WNDCLASSEXW wc{sizeof wc};
        wc.style = cls.Style;
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.hIcon = cls.Icon;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = cls.Background;
        wc.lpszClassName = cls.Name;
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            LogLastError(L"RegisterClassExW", cls.Name);
            return false;
        }
        registered.insert(cls.Name);
    }
    if (!CreateWindowExW(args.ExStyle, cls.Name, args.Title, args.Style, args.X, args.Y, args.Width, args.Height,
                         args.Parent, nullptr, instance, this)) {
        LogLastError(L"CreateWindowExW", cls.Name);
        return false;
    }
    return true;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        self->dpi_ = GetDpiForWindow(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (msg == WM_DPICHANGED) {
        Guarded(hwnd, [&] { self->FollowDpi(LOWORD(wp), *reinterpret_cast<const RECT*>(lp)); });
        return 0;
    }
    LRESULT result = 0;
    if (!Guarded(hwnd, [&] { result = self->HandleMessage(msg, wp, lp); })) return DefWindowProcW(hwnd, msg, wp, lp);
    return result;
}

void Window::FollowDpi(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    OnDpiChanged(dpi);
}

}  // namespace rm::win
