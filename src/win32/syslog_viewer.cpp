#include "syslog_viewer.h"

#include <richedit.h>

#include "diagnostics.h"
#include "resource.h"

namespace rm::win {
namespace {

constexpr int ClientWidth = 592, ClientHeight = 404, BottomPanelHeight = 23;

}  // namespace

bool SyslogViewer::Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // From the system folder only: a DLL of that name in the (writable)
    // program folder must not be loaded.
    if (!LoadLibraryExW(L"Msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        LogLastError(L"LoadLibraryExW", L"Msftedit.dll");
    }
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT r{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (!CreateWindowOf({L"Tsyslogform", LoadIconW(instance, MAKEINTRESOURCEW(IDI_CONNECTED)),
                         GetSysColorBrush(COLOR_BTNFACE)},
                        {L"SysLog", style, 0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height})) {
        return false;
    }
    memo_ = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                            0, 0, 0, 0, Handle(), nullptr, instance, nullptr);
    if (!memo_) LogLastError(L"CreateWindowExW", L"syslog viewer text");
    font_.reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック"));
    SendMessageW(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    OnSize();
    return true;
}

void SyslogViewer::Render(const SyslogViewerView& view) {
    if (!Handle()) return;
    const bool visible = IsWindowVisible(Handle()) != FALSE;
    if (view.Raised != raised_) {
        raised_ = view.Raised;
        ShowWindow(Handle(), SW_SHOWNORMAL);
        SetForegroundWindow(Handle());
    } else if (!view.Shown && visible) {
        ShowWindow(Handle(), SW_HIDE);
    }
}

LRESULT SyslogViewer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: OnSize(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

void SyslogViewer::OnSize() {
    if (!memo_) return;
    RECT r;
    GetClientRect(Handle(), &r);
    MoveWindow(memo_, 0, 0, r.right, r.bottom > BottomPanelHeight ? r.bottom - BottomPanelHeight : 0, TRUE);
}

void SyslogViewer::OnClose() {
    // The viewer lives for the whole run; closing only hides it.
    ShowWindow(Handle(), SW_HIDE);
    onHidden_();
}

}  // namespace rm::win
