#include "syslog_viewer.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "command_ids.h"
#include "diagnostics.h"
#include "resource.h"
#include "syslog/syslog.h"
#include "syslog/viewer_lines.h"
#include "wide.h"

namespace rm::win {
namespace {

constexpr int ClientWidth = 592, ClientHeight = 404, BottomPanelHeight = 23;
// Lines go in at most this often: each insertion has a cost of its own,
// several milliseconds under Wine, which a line at a time would pay for
// every datagram.
constexpr ULONGLONG LinesInterval = 100;
// And at most this many at a time, unless the user asks for the window:
// under Wine a line costs the control about 100 µs, so that a burst of
// 10,000 would hold the program for a second.
constexpr std::size_t LinesPerBatch = 1000;
constexpr UINT_PTR LinesTimer = 1;
constexpr DWORD Style = WS_OVERLAPPEDWINDOW;
// The control's own limit (32,767 characters) would cut the lines off; this
// holds the most lines kept, each of a full datagram after its time prefix.
constexpr LPARAM TextLimit = (MaxViewerLines + ViewerTrimStep) * (MaxSyslogBytes + 56);

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

// In the control's own count, where a line break is one character.
LONG TextLength(HWND memo) {
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<LONG>(SendMessageW(memo, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
}

void Select(HWND memo, LONG from, LONG to) {
    CHARRANGE range{from, to};
    SendMessageW(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

// Whether the last line is in sight, so that new lines should keep it there.
// Windows counts the last position into the range, Wine's control does not.
bool ScrolledToEnd(HWND memo) {
    SCROLLINFO info{sizeof info, SIF_ALL};
    if (!GetScrollInfo(memo, SB_VERT, &info) || info.nPage == 0) return true;
    return info.nPos + static_cast<int>(info.nPage) >= info.nMax;
}

}  // namespace

bool SyslogViewer::Create(const SyslogViewerView& view) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // From the system folder only: a DLL of that name in the (writable)
    // program folder must not be loaded.
    if (!LoadLibraryExW(L"Msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        LogLastError(L"LoadLibraryExW", L"Msftedit.dll");
    }
    if (!CreateWindowOf({ViewerClassName, LoadIconW(instance, MAKEINTRESOURCEW(IDI_CONNECTED)),
                         GetSysColorBrush(COLOR_BTNFACE)},
                        {L"SysLog", Style, 0, 0, 0, 0, 0})) {
        return false;
    }
    OwnedMenu bar = BuildMenuBar();
    if (bar && SetMenu(Handle(), bar.get())) bar.release();
    dpi_ = GetDpiForWindow(Handle());
    RECT r{0, 0, Scale(ClientWidth), Scale(ClientHeight)};
    AdjustWindowRectExForDpi(&r, Style, TRUE, 0, dpi_);
    const int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    // Both scroll bars always: under Wine, showing and hiding them as lines
    // come also halves the speed of adding lines.
    memo_ = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_DISABLENOSCROLL | ES_MULTILINE |
                                ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                            0, 0, 0, 0, Handle(), nullptr, instance, nullptr);
    if (!memo_) {
        LogLastError(L"CreateWindowExW", L"syslog viewer text");
        return true;
    }
    SendMessageW(memo_, EM_EXLIMITTEXT, 0, TextLimit);
    ApplyFont(view.Font);
    OnSize();
    raised_ = view.Raised;
    view_ = &view;
    // A new viewer starts with what the view holds now.
    shownAdded_ = view.Added - view.Lines.size();
    AddNewLines(view.Lines.size());
    return true;
}

void SyslogViewer::Render(const SyslogViewerView& view) {
    if (!Handle()) return;
    view_ = &view;
    if (memo_) {
        if (!(view.Font == fontShown_)) ApplyFont(view.Font);
        // Brought forward, it shows every line at once.
        if (view.Raised != raised_) {
            AddNewLines(view.Lines.size());
        } else {
            ScheduleNewLines();
        }
    }
    if (view.Raised != raised_) {
        raised_ = view.Raised;
        ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(Handle());
    } else if (!view.Shown && IsWindowVisible(Handle())) {
        ShowWindow(Handle(), SW_HIDE);
    }
}

// A hidden window takes its lines on the timer only, which comes when the
// program has nothing else to do: during a burst they cost it nothing.
void SyslogViewer::ScheduleNewLines() {
    if (view_->Added == shownAdded_) return;
    const ULONGLONG since = GetTickCount64() - lastAdded_;
    if (since >= LinesInterval && IsWindowVisible(Handle())) {
        AddNewLines(LinesPerBatch);
        return;
    }
    if (linesTimerSet_) return;
    if (SetTimer(Handle(), LinesTimer, static_cast<UINT>(since >= LinesInterval ? 0 : LinesInterval - since),
                 nullptr)) {
        linesTimerSet_ = true;
    } else {
        LogLastError(L"SetTimer", L"syslog viewer lines");
        AddNewLines(view_->Lines.size());
    }
}

void SyslogViewer::OnLinesTimer() {
    KillTimer(Handle(), LinesTimer);
    linesTimerSet_ = false;
    AddNewLines(LinesPerBatch);
}

void SyslogViewer::AddNewLines(std::size_t most) {
    const SyslogViewerView& view = *view_;
    if (view.Added == shownAdded_) return;
    // Lines that went from the view before they were shown leave a gap: the
    // window then starts again with the oldest the view holds.
    const bool restart = view.Added - shownAdded_ > view.Lines.size();
    if (restart) shownAdded_ = view.Added - view.Lines.size();
    const std::size_t pending = static_cast<std::size_t>(view.Added - shownAdded_);
    const std::size_t fresh = std::min(pending, most);
    shownAdded_ += fresh;

    // One insertion with redraw off: one per line costs about 10 ms under Wine.
    SendMessageW(memo_, WM_SETREDRAW, FALSE, 0);
    const bool follow = ScrolledToEnd(memo_);
    CHARRANGE selection{};
    SendMessageW(memo_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    POINT scroll{};
    SendMessageW(memo_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    if (restart) {
        SetWindowTextW(memo_, L"");
        lineCount_ = 0;
        selection = {};
    }

    std::wstring text;
    const auto first = view.Lines.end() - static_cast<std::ptrdiff_t>(pending);
    for (auto line = first; line != first + static_cast<std::ptrdiff_t>(fresh); ++line) {
        if (lineCount_++ > 0) text += L"\r\n";
        text += Widen(*line);
    }
    const LONG end = TextLength(memo_);
    Select(memo_, end, end);
    SendMessageW(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    if (lineCount_ > MaxViewerLines + ViewerTrimStep) {
        const LONG dropped = static_cast<LONG>(
            SendMessageW(memo_, EM_LINEINDEX, static_cast<WPARAM>(lineCount_ - MaxViewerLines), 0));
        Select(memo_, 0, dropped);
        SendMessageW(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        lineCount_ = MaxViewerLines;
        selection = {std::max<LONG>(selection.cpMin - dropped, 0), std::max<LONG>(selection.cpMax - dropped, 0)};
    }

    // What the user selected stays selected; the view stays where the user scrolled to.
    SendMessageW(memo_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    if (follow) {
        SendMessageW(memo_, WM_VSCROLL, SB_BOTTOM, 0);
    } else {
        SendMessageW(memo_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    }
    SendMessageW(memo_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(memo_, nullptr, TRUE);
    lastAdded_ = GetTickCount64();
    if (shownAdded_ != view.Added) ScheduleNewLines();
}

void SyslogViewer::ApplyFont(const ViewerFont& font) {
    fontShown_ = font;
    // Sized for this window's monitor: the program is per-monitor aware, so
    // Windows does not scale it.
    font_.reset(CreateFontW(-MulDiv(font.Points, static_cast<int>(dpi_), 72), 0, 0, 0,
                            font.Bold ? FW_BOLD : FW_NORMAL, font.Italic, FALSE, FALSE,
                            static_cast<BYTE>(font.Charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            FIXED_PITCH | FF_MODERN, Widen(font.Face).c_str()));
    if (!font_) LogLastError(L"CreateFontW", Widen(font.Face));
    SendMessageW(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

LRESULT SyslogViewer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: OnSize(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_COMMAND:
        if (const auto item = ViewerItemOfCommand(LOWORD(wp)); item && lp == 0) events_.Command(*item);
        return 0;
    case WM_TIMER:
        if (wp == LinesTimer) OnLinesTimer();
        return 0;
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_CLOSE: OnClose(); return 0;
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

void SyslogViewer::OnSize() {
    if (!memo_) return;
    RECT r;
    GetClientRect(Handle(), &r);
    MoveWindow(memo_, 0, 0, r.right, std::max<LONG>(r.bottom - Scale(BottomPanelHeight), 0), TRUE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

// Panel1: a raised strip along the bottom.
void SyslogViewer::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT r;
    GetClientRect(Handle(), &r);
    r.top = std::max<LONG>(r.bottom - Scale(BottomPanelHeight), 0);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    EndPaint(Handle(), &ps);
}

void SyslogViewer::OnClose() {
    // The viewer lives on; closing only hides it.
    ShowWindow(Handle(), SW_HIDE);
    events_.Closed();
}

void SyslogViewer::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    ApplyFont(fontShown_);
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    OnSize();
}

int SyslogViewer::Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI); }

}  // namespace rm::win
