#include "syslog_viewer.h"

#include <algorithm>
#include <string>

#include "command_ids.h"
#include "diagnostics.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int ClientWidth = 592, ClientHeight = 404, BottomPanelHeight = 23;
constexpr DWORD Style = WS_OVERLAPPEDWINDOW;

OwnedMenu BuildMenuBar() {
    OwnedMenu bar(CreateMenu());
    if (!bar) {
        LogLastError(L"CreateMenu", L"syslog viewer");
        return bar;
    }
    HMENU menu = nullptr;
    for (const ViewerMenuRow& row : ViewerMenuTable) {
        const std::wstring caption = Widen(row.Caption);
        if (row.Heading) {
            menu = CreatePopupMenu();
            AppendMenuW(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), caption.c_str());
        } else if (caption == L"-") {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, CommandId(row.Id), caption.c_str());
        }
    }
    return bar;
}

}  // namespace

bool SyslogViewer::Create(const SyslogViewerView& view) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!CreateWindowOf({ViewerClassName, LoadIconW(instance, MAKEINTRESOURCEW(IDI_CONNECTED)),
                         GetSysColorBrush(COLOR_BTNFACE)},
                        {L"SysLog", Style, 0, 0, 0, 0, 0})) {
        return false;
    }
    OwnedMenu bar = BuildMenuBar();
    if (bar && SetMenu(Handle(), bar.get())) bar.release();
    RECT r{0, 0, Scale(ClientWidth), Scale(ClientHeight)};
    AdjustWindowRectExForDpi(&r, Style, TRUE, 0, Dpi());
    const int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    raised_ = view.Raised;
    if (!lines_.Create(Handle(), view)) return true;
    ApplyFont(view.Font);
    OnSize();
    return true;
}

void SyslogViewer::Render(const SyslogViewerView& view) {
    if (!Handle()) return;
    if (!(view.Font == fontShown_)) ApplyFont(view.Font);
    if (view.Raised != raised_) {
        raised_ = view.Raised;
        ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(Handle());
    } else if (!view.Shown && IsWindowVisible(Handle())) {
        ShowWindow(Handle(), SW_HIDE);
    }
    // After showing: hidden, the lines only take note.
    lines_.Update(view);
}

void SyslogViewer::ApplyFont(const ViewerFont& font) {
    fontShown_ = font;
    // Sized for this window's monitor: the program is per-monitor aware, so
    // Windows does not scale it.
    OwnedFont created(CreateFontW(-MulDiv(font.Points, static_cast<int>(Dpi()), 72), 0, 0, 0,
                                  font.Bold ? FW_BOLD : FW_NORMAL, font.Italic, FALSE, FALSE,
                                  static_cast<BYTE>(font.Charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, font.FixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_DONTCARE,
                                  Widen(font.Face).c_str()));
    if (!created) LogLastError(L"CreateFontW", Widen(font.Face));
    // The old font goes once the lines have taken the new one.
    SendMessageW(lines_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(created.get()), TRUE);
    font_ = std::move(created);
}

LRESULT SyslogViewer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: OnSize(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_COMMAND:
        if (const auto item = ViewerItemOfCommand(LOWORD(wp)); item && lp == 0) events_.Command(*item);
        return 0;
    // The keys go to the lines.
    case WM_SETFOCUS: SetFocus(lines_.Handle()); return 0;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lp)); return 0;
    case WM_CLOSE: OnClose(); return 0;
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

void SyslogViewer::OnSize() {
    if (!lines_.Handle()) return;
    RECT r;
    GetClientRect(Handle(), &r);
    MoveWindow(lines_.Handle(), 0, 0, r.right, std::max<LONG>(r.bottom - Scale(BottomPanelHeight), 0), TRUE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

// BottomPanel: a raised strip along the bottom.
void SyslogViewer::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT r;
    GetClientRect(Handle(), &r);
    r.top = std::max<LONG>(r.bottom - Scale(BottomPanelHeight), 0);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    EndPaint(Handle(), &ps);
}

// Half the size it opens with: room for the time stamp and the start of the
// router's text after it.
void SyslogViewer::OnGetMinMaxInfo(MINMAXINFO& info) const {
    RECT r{0, 0, Scale(ClientWidth / 2), Scale(ClientHeight / 2)};
    AdjustWindowRectExForDpi(&r, Style, TRUE, 0, Dpi());
    info.ptMinTrackSize = {r.right - r.left, r.bottom - r.top};
}

void SyslogViewer::OnClose() {
    // The viewer lives on; closing only hides it.
    ShowWindow(Handle(), SW_HIDE);
    events_.Closed();
}

void SyslogViewer::OnDpiChanged(UINT) { ApplyFont(fontShown_); }

}  // namespace rm::win
