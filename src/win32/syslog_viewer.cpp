#include "syslog_viewer.h"

#include <richedit.h>

#include "resource.h"

namespace rm::win {
namespace {

constexpr wchar_t ClassName[] = L"Tsyslogform";
constexpr int ClientWidth = 592, ClientHeight = 404, BottomPanelHeight = 23;

}  // namespace

SyslogViewer::~SyslogViewer() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void SyslogViewer::Create() {
    LoadLibraryW(L"Msftedit.dll");
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance_;
    wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_CONNECTED));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = ClassName;
    RegisterClassExW(&wc);

    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT r{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    const int width = r.right - r.left, height = r.bottom - r.top;
    hwnd_ = CreateWindowExW(0, ClassName, L"SysLog", style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                            (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                            instance_, this);
    if (!hwnd_) return;
    memo_ = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                            0, 0, 0, 0, hwnd_, nullptr, instance_, nullptr);
    font_.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック"));
    SendMessageW(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    Layout();
}

void SyslogViewer::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

void SyslogViewer::Layout() {
    RECT r;
    GetClientRect(hwnd_, &r);
    MoveWindow(memo_, 0, 0, r.right, r.bottom > BottomPanelHeight ? r.bottom - BottomPanelHeight : 0, TRUE);
}

LRESULT CALLBACK SyslogViewer::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<SyslogViewer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_SIZE:
        if (self && self->memo_) self->Layout();
        return 0;
    case WM_CLOSE:
        // The viewer lives for the whole run; closing only hides it.
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    case WM_NCDESTROY:
        if (self) self->hwnd_ = nullptr;
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace rm::win
