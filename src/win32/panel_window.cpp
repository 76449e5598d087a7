#include "panel_window.h"

#include <commctrl.h>

#include "app_messages.h"
#include "diagnostics.h"
#include "display/placement.h"
#include "resource.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr UINT_PTR TickTimer = 1;
constexpr int BevelWidth = 2;
// Moves a window as if dragged by its caption.
constexpr WPARAM SC_DRAGMOVE = 0xF012;

COLORREF ColourOf(FontColour colour) {
    switch (colour) {
    case FontColour::Blue: return RGB(0, 0, 255);
    case FontColour::Red: return RGB(255, 0, 0);
    case FontColour::WindowText: break;
    }
    return GetSysColor(COLOR_WINDOWTEXT);
}

}  // namespace

bool PanelWindow::Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // A tool window has no task-bar button.
    if (!CreateWindowOf({PanelClassName, LoadIconW(instance, MAKEINTRESOURCEW(IDI_CONNECTED)),
                         GetSysColorBrush(COLOR_BTNFACE)},
                        {Widen(AppTitle).c_str(), WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, 0, 0, PanelWidth,
                         PanelHeight})) {
        return false;
    }
    label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0, 0, 0, 0,
                             Handle(), nullptr, instance, nullptr);
    if (!label_) LogLastError(L"CreateWindowExW", L"panel label");
    LayOut();

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, instance, nullptr);
    if (!tooltip_) LogLastError(L"CreateWindowExW", L"panel hint");
    TTTOOLINFOW tool{sizeof tool};
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

    if (!SetTimer(Handle(), TickTimer, TickMilliseconds, nullptr)) {
        LogLastError(L"SetTimer");
        TellFeatureLost("2秒ごとの処理(経過時間・予約接続・タイムアウト)");
    }
    return true;
}

void PanelWindow::StopTick() { KillTimer(Handle(), TickTimer); }

void PanelWindow::Render(const PanelView& panel, const PanelPosition& position) {
    if (!placed_ || position.Left != shownPosition_.Left || position.Top != shownPosition_.Top) {
        placed_ = true;
        shownPosition_ = position;
        const POINT at = OnScreen(position);
        SetWindowPos(Handle(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const std::wstring caption = Widen(panel.Caption);
    if (caption != shownCaption_ || panel.Colour != colour_) {
        shownCaption_ = caption;
        colour_ = panel.Colour;
        SetWindowTextW(label_, caption.c_str());
        // Painted now: the next handler may hold the thread (a wait, a box).
        InvalidateRect(label_, nullptr, TRUE);
        UpdateWindow(label_);
    }
    const std::wstring hint = Widen(panel.Hint);
    if (hint != shownHint_) {
        shownHint_ = hint;
        TTTOOLINFOW tool{sizeof tool};
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(Handle());
        tool.lpszText = shownHint_.data();
        SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    const bool visible = IsWindowVisible(Handle()) != FALSE;
    if (panel.Shown && !visible) {
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else if (!panel.Shown && visible) {
        ShowWindow(Handle(), SW_HIDE);
    }
}

// A place stored while another monitor was attached (a laptop since undocked)
// would leave the panel where no screen is; the stored place itself is kept
// for when that monitor is back.
POINT PanelWindow::OnScreen(const PanelPosition& position) const {
    RECT size{};
    GetWindowRect(Handle(), &size);
    const ScreenRect stored = RectAt(position.Left, position.Top, size.right - size.left, size.bottom - size.top);
    const RECT storedRect{stored.Left, stored.Top, stored.Right, stored.Bottom};
    MONITORINFO monitor{sizeof monitor};
    if (!GetMonitorInfoW(MonitorFromRect(&storedRect, MONITOR_DEFAULTTONEAREST), &monitor)) {
        LogLastError(L"GetMonitorInfoW", L"panel placement");
        return {stored.Left, stored.Top};
    }
    const RECT& work = monitor.rcWork;
    const ScreenRect placed = MoveInside(stored, {work.left, work.top, work.right, work.bottom});
    return {placed.Left, placed.Top};
}

LRESULT PanelWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_CTLCOLORSTATIC: return reinterpret_cast<LRESULT>(OnCtlColorStatic(reinterpret_cast<HDC>(wp)));
    case WM_LBUTTONDOWN: OnLeftButtonDown(); return 0;
    case WM_CONTEXTMENU: events_.ContextMenu(); return 0;
    case WM_COMMAND: events_.Command(LOWORD(wp)); return 0;
    case WM_TIMER:
        if (wp == TickTimer) events_.Tick();
        return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        // Windows ends the process after this returns: save now.
        if (wp) events_.Close();
        return 0;
    case WM_CLOSE: events_.Close(); return 0;
    case StartedAgainMessage: events_.StartedAgain(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

void PanelWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT r;
    GetClientRect(Handle(), &r);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    EndPaint(Handle(), &ps);
}

HBRUSH PanelWindow::OnCtlColorStatic(HDC dc) {
    SetTextColor(dc, ColourOf(colour_));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

void PanelWindow::OnLeftButtonDown() {
    // The panel has no caption bar: let the system drag it as if it had one.
    // Renders during the drag leave it alone (Render moves only on a change).
    ReleaseCapture();
    SendMessageW(Handle(), WM_SYSCOMMAND, SC_DRAGMOVE, 0);
    RECT at{};
    GetWindowRect(Handle(), &at);
    shownPosition_ = {at.left, at.top};
    events_.Dragged(at.left, at.top);
}

void PanelWindow::OnDpiChanged(UINT) {
    LayOut();
    events_.DpiChanged();
}

void PanelWindow::LayOut() {
    SetWindowPos(Handle(), nullptr, 0, 0, Scale(PanelWidth), Scale(PanelHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(label_, nullptr, Scale(BevelWidth), Scale(BevelWidth), Scale(PanelWidth - 2 * BevelWidth),
                 Scale(PanelHeight - 2 * BevelWidth), SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateFont();
}

void PanelWindow::UpdateFont() {
    font_.reset(CreateFontW(-Scale(12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                            L"ＭＳ Ｐゴシック"));
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

}  // namespace rm::win
