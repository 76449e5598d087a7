#include "line_view.h"

#include <windowsx.h>

#include <algorithm>

#include "platform_ports.h"
#include "text/chars.h"
#include "wide.h"

namespace rm::win {
namespace {

// Both scroll bars always, disabled when not needed: bars that come and go
// would resize the window as lines arrive.
constexpr DWORD Style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL;

// Under Wine a paint costs about a millisecond however little it shows, and
// drawing a scroll bar several: while lines stream in, the view is painted
// at most this often, with all that changed meanwhile.
constexpr ULONGLONG PaintInterval = 50;
constexpr UINT_PTR PaintTimer = 1;

// A NUL would end the text for every API that takes a C string, and a line
// break would split one line in two.
std::wstring Shown(const std::string& line) { return Widen(MarkedText(line)); }

bool IsMarked(char c) { return !ControlMark(c).empty(); }

// The context menu's items.
enum : UINT { CopyItem = 1, SelectAllItem };

// A bar is set without drawing it; true when its thumb moved or it was
// switched on or off, so that it has to be drawn again.
bool SetScrollBar(HWND window, int bar, int last, int page, int position) {
    const LONG object = bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL;
    SCROLLBARINFO before{sizeof before};
    GetScrollBarInfo(window, object, &before);
    SCROLLINFO info{sizeof info, SIF_ALL | SIF_DISABLENOSCROLL};
    info.nMax = last;
    info.nPage = static_cast<UINT>(page);
    info.nPos = position;
    SetScrollInfo(window, bar, &info, FALSE);
    SCROLLBARINFO after{sizeof after};
    GetScrollBarInfo(window, object, &after);
    return after.xyThumbTop != before.xyThumbTop || after.xyThumbBottom != before.xyThumbBottom ||
           after.rgstate[0] != before.rgstate[0];
}

}  // namespace

bool LineView::Create(HWND parent, const SyslogViewerView& view) {
    view_ = &view;
    // Nothing taken yet, so the first update shows the end.
    top_ = shownEnd_ = measuredEnd_ = First();
    // Measuring in a DC of its own costs no round trip to the Wine server.
    measuring_.reset(CreateCompatibleDC(nullptr));
    return CreateWindowOf({LineViewClassName}, {.Style = Style, .ExStyle = WS_EX_CLIENTEDGE, .Parent = parent});
}

void LineView::Update(const SyslogViewerView& view) {
    view_ = &view;
    if (!Handle() || !IsWindowVisible(Handle())) return;
    const bool follow = Following();
    const std::uint64_t oldTop = top_, oldEnd = shownEnd_;
    MeasureNewLines();
    shownEnd_ = End();
    if (selected_ && std::max(anchor_, caret_) < First()) selected_ = false;
    top_ = follow ? LastTop() : std::clamp(top_, First(), LastTop());
    UpdateScrollBars();
    // New lines out of sight change nothing but the bars.
    if (top_ != oldTop || (End() > oldEnd && oldEnd <= top_ + rows_)) rowsDue_ = true;
    if (rowsDue_ || barsDue_) PaintSoon();
}

void LineView::PaintSoon() {
    const ULONGLONG since = GetTickCount64() - lastPaint_;
    if (since >= PaintInterval) {
        Invalidate();
    } else if (!paintTimerSet_) {
        paintTimerSet_ = SetTimer(Handle(), PaintTimer, static_cast<UINT>(PaintInterval - since), nullptr) != 0;
        if (!paintTimerSet_) Invalidate();
    }
}

void LineView::Invalidate() {
    if (paintTimerSet_) KillTimer(Handle(), PaintTimer);
    paintTimerSet_ = false;
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | (barsDue_ ? RDW_FRAME : 0));
    rowsDue_ = barsDue_ = false;
    lastPaint_ = GetTickCount64();
}

void LineView::MeasureNewLines() {
    const std::uint64_t from = std::max(measuredEnd_, First());
    measuredEnd_ = End();
    for (std::uint64_t line = from; line < End(); ++line) {
        const std::wstring text = Shown(Line(line));
        SIZE size{};
        if (GetTextExtentPoint32W(measuring_.get(), text.data(), static_cast<int>(text.size()), &size)) {
            widest_ = std::max(widest_, static_cast<int>(size.cx));
        }
    }
}

std::uint64_t LineView::LastTop() const {
    const auto rows = static_cast<std::uint64_t>(rows_);
    return End() - First() > rows ? End() - rows : First();
}

std::int64_t LineView::LineAt(int y) const {
    return static_cast<std::int64_t>(top_) + (y < 0 ? -1 : y / lineHeight_);
}

void LineView::UpdateScrollBars() {
    // 32-bit positions: the lines held pass the 16 bits of the scroll messages.
    const bool vertical = SetScrollBar(Handle(), SB_VERT, std::max(static_cast<int>(End() - First()) - 1, 0), rows_,
                                       static_cast<int>(top_ - First()));
    const bool horizontal = SetScrollBar(Handle(), SB_HORZ, ContentWidth() - 1, width_, left_);
    barsDue_ = barsDue_ || vertical || horizontal;
}

void LineView::ScrollTo(std::int64_t top, int left) {
    const auto newTop = static_cast<std::uint64_t>(
        std::clamp(top, static_cast<std::int64_t>(First()), static_cast<std::int64_t>(LastTop())));
    const int newLeft = std::clamp(left, 0, std::max(ContentWidth() - width_, 0));
    if (newTop == top_ && newLeft == left_) return;
    top_ = newTop;
    left_ = newLeft;
    UpdateScrollBars();
    Invalidate();
}

void LineView::Select(std::uint64_t anchor, std::uint64_t caret) {
    selected_ = true;
    anchor_ = anchor;
    caret_ = caret;
    Invalidate();
}

void LineView::MoveCaret(std::int64_t to, bool extend) {
    if (End() == First()) return;
    const std::uint64_t line = static_cast<std::uint64_t>(
        std::clamp(to, static_cast<std::int64_t>(First()), static_cast<std::int64_t>(End()) - 1));
    Select(extend && selected_ ? anchor_ : line, line);
    if (line < top_) {
        ScrollTo(static_cast<std::int64_t>(line), left_);
    } else if (line >= top_ + rows_) {
        ScrollTo(static_cast<std::int64_t>(line) - rows_ + 1, left_);
    }
}

void LineView::SelectAll() {
    if (End() > First()) Select(First(), End() - 1);
}

bool LineView::Selected(std::uint64_t line) const {
    return selected_ && line >= std::min(anchor_, caret_) && line <= std::max(anchor_, caret_);
}

std::string LineView::ShownText(std::uint64_t first, std::uint64_t last) const {
    std::string text;
    for (std::uint64_t line = first; line <= last; ++line) {
        if (line > first) text += "\r\n";
        text += MarkedText(Line(line));
    }
    return text;
}

std::wstring LineView::Text() const { return End() == First() ? std::wstring() : Widen(ShownText(First(), End() - 1)); }

LRESULT LineView::CopyText(std::size_t room, wchar_t* buffer) const {
    if (room == 0 || !buffer) return 0;
    const std::wstring text = Text();
    const std::size_t copied = std::min(text.size(), room - 1);
    std::copy_n(text.data(), copied, buffer);
    buffer[copied] = L'\0';
    return static_cast<LRESULT>(copied);
}

void LineView::CopySelection() {
    if (!selected_ || End() == First()) return;
    const std::uint64_t first = std::max(std::min(anchor_, caret_), First());
    const std::uint64_t last = std::min(std::max(anchor_, caret_), End() - 1);
    if (first > last) return;
    Win32Clipboard(*this).SetText(ShownText(first, last));
}

LRESULT LineView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_PRINTCLIENT: OnPrintClient(reinterpret_cast<HDC>(wp)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
        if (wp == PaintTimer) Invalidate();
        return 0;
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFONT: OnSetFont(reinterpret_cast<HFONT>(wp)); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_VSCROLL: OnVScroll(LOWORD(wp)); return 0;
    case WM_HSCROLL: OnHScroll(LOWORD(wp)); return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wp)); return 0;
    case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wp)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(GET_Y_LPARAM(lp), wp & MK_SHIFT); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(GET_Y_LPARAM(lp)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONUP: ReleaseCapture(); return 0;
    case WM_CONTEXTMENU: OnContextMenu(lp); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: OnFocusChanged(); return 0;
    case WM_COPY: CopySelection(); return 0;
    // Outside programs and screen readers read the lines as shown.
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(Text().size());
    case WM_GETTEXT: return CopyText(wp, reinterpret_cast<wchar_t*>(lp));
    // The edit control's question, so that a tool can count the lines without reading them.
    case EM_GETLINECOUNT: return static_cast<LRESULT>(End() - First());
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

void LineView::OnPaint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(Handle(), &ps);
    Paint(dc, ps.rcPaint);
    EndPaint(Handle(), &ps);
}

void LineView::OnPrintClient(HDC dc) const {
    RECT client;
    GetClientRect(Handle(), &client);
    Paint(dc, client);
}

void LineView::Paint(HDC dc, const RECT& area) const {
    const HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, OPAQUE);
    for (int row = area.top / lineHeight_; row * lineHeight_ < area.bottom; ++row) {
        const std::uint64_t line = top_ + static_cast<std::uint64_t>(row);
        RECT r{area.left, row * lineHeight_, area.right, (row + 1) * lineHeight_};
        if (line < First() || line >= End()) {
            r.bottom = area.bottom;
            FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
            break;
        }
        PaintLine(dc, r, Line(line), Selected(line));
    }
    // The half line below the whole ones may hold the caret too.
    if (selected_ && caret_ >= top_ && caret_ <= top_ + rows_ && caret_ < End() && GetFocus() == Handle()) {
        const int row = static_cast<int>(caret_ - top_);
        RECT focus{0, row * lineHeight_, width_, (row + 1) * lineHeight_};
        DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, old);
}

// A control byte shows as its mark in the background's colour on grey (on
// the text's colour in the selection), so that it stands out from text that
// happens to read the same.
void LineView::PaintLine(HDC dc, const RECT& row, std::string_view line, bool selected) const {
    const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const COLORREF background = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    SetTextColor(dc, text);
    SetBkColor(dc, background);
    if (std::none_of(line.begin(), line.end(), IsMarked)) {
        const std::wstring wide = Widen(line);
        ExtTextOutW(dc, margin_ - left_, row.top, ETO_OPAQUE | ETO_CLIPPED, &row, wide.data(),
                    static_cast<UINT>(wide.size()), nullptr);
        return;
    }
    ExtTextOutW(dc, 0, row.top, ETO_OPAQUE, &row, nullptr, 0, nullptr);
    int x = margin_ - left_;
    for (auto at = line.begin(); at != line.end() && x < row.right;) {
        const bool mark = IsMarked(*at);
        const auto end = mark ? at + 1 : std::find_if(at, line.end(), IsMarked);
        const std::wstring piece = Widen(mark ? ControlMark(*at) : std::string_view(at, end));
        SetTextColor(dc, mark ? background : text);
        SetBkColor(dc, mark ? (selected ? text : GetSysColor(COLOR_GRAYTEXT)) : background);
        ExtTextOutW(dc, x, row.top, ETO_CLIPPED, &row, piece.data(), static_cast<UINT>(piece.size()), nullptr);
        SIZE size{};
        GetTextExtentPoint32W(dc, piece.data(), static_cast<int>(piece.size()), &size);
        x += size.cx;
        at = end;
    }
}

void LineView::OnSize() {
    const bool follow = Following();
    RECT client;
    GetClientRect(Handle(), &client);
    rows_ = std::max(static_cast<int>(client.bottom) / lineHeight_, 1);
    width_ = client.right;
    top_ = follow ? LastTop() : std::clamp(top_, First(), LastTop());
    left_ = std::clamp(left_, 0, std::max(ContentWidth() - width_, 0));
    UpdateScrollBars();
    Invalidate();
}

void LineView::OnSetFont(HFONT font) {
    font_ = font;
    SelectObject(measuring_.get(), font_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(measuring_.get(), &metrics);
    lineHeight_ = std::max(static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading), 1);
    charWidth_ = std::max(static_cast<int>(metrics.tmAveCharWidth), 1);
    margin_ = std::max(charWidth_ / 2, 1);
    // The widths measured so far were of the old font.
    widest_ = 0;
    measuredEnd_ = First();
    if (IsWindowVisible(Handle())) MeasureNewLines();
    OnSize();
}

void LineView::OnVScroll(WORD code) {
    switch (code) {
    case SB_LINEUP: ScrollBy(-1); break;
    case SB_LINEDOWN: ScrollBy(1); break;
    case SB_PAGEUP: ScrollBy(-rows_); break;
    case SB_PAGEDOWN: ScrollBy(rows_); break;
    case SB_TOP: ScrollTo(static_cast<std::int64_t>(First()), left_); break;
    case SB_BOTTOM: ScrollTo(static_cast<std::int64_t>(LastTop()), left_); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The message carries 16 bits of the position only.
        SCROLLINFO info{sizeof info, SIF_TRACKPOS};
        if (GetScrollInfo(Handle(), SB_VERT, &info)) {
            ScrollTo(static_cast<std::int64_t>(First()) + info.nTrackPos, left_);
        }
        break;
    }
    default: break;
    }
}

void LineView::OnHScroll(WORD code) {
    switch (code) {
    case SB_LINELEFT: ScrollSideways(left_ - charWidth_); break;
    case SB_LINERIGHT: ScrollSideways(left_ + charWidth_); break;
    case SB_PAGELEFT: ScrollSideways(left_ - width_); break;
    case SB_PAGERIGHT: ScrollSideways(left_ + width_); break;
    case SB_LEFT: ScrollSideways(0); break;
    case SB_RIGHT: ScrollSideways(ContentWidth()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{sizeof info, SIF_TRACKPOS};
        if (GetScrollInfo(Handle(), SB_HORZ, &info)) ScrollSideways(info.nTrackPos);
        break;
    }
    default: break;
    }
}

void LineView::OnMouseWheel(int delta) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int step = lines == WHEEL_PAGESCROLL ? rows_ : static_cast<int>(lines);
    // A fine-grained wheel sends parts of a notch; they add up.
    wheel_ += delta;
    const int notches = wheel_ / WHEEL_DELTA;
    wheel_ -= notches * WHEEL_DELTA;
    ScrollBy(-static_cast<std::int64_t>(notches) * step);
}

// As in a list: the keys move the caret, and with Shift extend the selection
// to it. With no line chosen yet, Down and Page Down start above the first
// line in view, Up and Page Up below the last one.
void LineView::OnKeyDown(UINT key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    const auto from = [&](bool down) {
        if (selected_) return static_cast<std::int64_t>(caret_);
        return static_cast<std::int64_t>(top_) + (down ? -1 : rows_);
    };
    const auto move = [&](std::int64_t lines) { MoveCaret(from(lines > 0) + lines, shift); };
    switch (key) {
    case VK_UP: move(-1); break;
    case VK_DOWN: move(1); break;
    case VK_PRIOR: move(-rows_); break;
    case VK_NEXT: move(rows_); break;
    case VK_HOME: MoveCaret(static_cast<std::int64_t>(First()), shift); break;
    case VK_END: MoveCaret(static_cast<std::int64_t>(End()) - 1, shift); break;
    case VK_LEFT: ScrollSideways(left_ - charWidth_); break;
    case VK_RIGHT: ScrollSideways(left_ + charWidth_); break;
    case 'A':
        if (ctrl) SelectAll();
        break;
    case 'C':
        if (ctrl) CopySelection();
        break;
    default: break;
    }
}

void LineView::OnLButtonDown(int y, bool extend) {
    SetFocus(Handle());
    SetCapture(Handle());
    MoveCaret(LineAt(y), extend);
}

// A right click on a line outside the selection selects it first, so that
// the menu acts on the line under the pointer.
void LineView::OnRButtonDown(int y) {
    SetFocus(Handle());
    const std::int64_t line = LineAt(y);
    if (line >= static_cast<std::int64_t>(First()) && line < static_cast<std::int64_t>(End()) &&
        !Selected(static_cast<std::uint64_t>(line))) {
        MoveCaret(line, false);
    }
}

// Dragged past the top or the bottom, the view scrolls with the selection.
void LineView::OnMouseMove(int y) {
    if (GetCapture() == Handle()) MoveCaret(LineAt(y), true);
}

void LineView::OnContextMenu(LPARAM at) {
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    // From the keyboard (Shift+F10, the menu key): at the caret's line.
    if (at == -1) {
        const bool inSight = selected_ && caret_ >= top_ && caret_ < top_ + rows_;
        point = {margin_, inSight ? static_cast<int>(caret_ - top_ + 1) * lineHeight_ : 0};
        ClientToScreen(Handle(), &point);
    }
    const OwnedMenu menu(CreatePopupMenu());
    if (!menu) return;
    AppendMenuW(menu.get(), MF_STRING | (selected_ ? MF_ENABLED : MF_GRAYED), CopyItem, L"コピー\tCtrl+C");
    AppendMenuW(menu.get(), MF_STRING | (End() > First() ? MF_ENABLED : MF_GRAYED), SelectAllItem,
                L"すべて選択\tCtrl+A");
    switch (TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, Handle(), nullptr)) {
    case CopyItem: CopySelection(); break;
    case SelectAllItem: SelectAll(); break;
    default: break;
    }
}

void LineView::OnFocusChanged() const { InvalidateRect(Handle(), nullptr, FALSE); }

}  // namespace rm::win
