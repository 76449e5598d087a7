// The syslog viewer's lines: a read-only list painted straight from the
// core's line store. Only the lines in sight are drawn and only new lines are
// measured, so an update costs the same however many lines are held. The
// position and the selection are absolute line numbers (see
// SyslogViewerView::Added): when the store drops its oldest lines, the lines
// in view and the selected ones stay. It works as a Windows list does: the
// arrow, page, Home and End keys move the selection (Shift extends it), the
// line they move from has the focus mark, and the right button offers
// コピー and すべて選択.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <windows.h>

#include "handles.h"
#include "state/view.h"
#include "window.h"

namespace rm::win {

inline constexpr wchar_t LineViewClassName[] = L"RoutavistaLineView";

class LineView : public Window {
public:
    ~LineView() override { Destroy(); }
    // The view must live as long as the window: it paints from it.
    bool Create(HWND parent, const SyslogViewerView& view);
    // Takes the lines added since the last update. Hidden, it takes them once shown again.
    void Update(const SyslogViewerView& view);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();
    void OnSize();
    void OnSetFont(HFONT font);
    void OnVScroll(WORD code);
    void OnHScroll(WORD code);
    void OnMouseWheel(int delta);
    void OnKeyDown(UINT key);
    void OnLButtonDown(int y, bool extend);
    void OnRButtonDown(int y);
    void OnMouseMove(int y);
    void OnContextMenu(LPARAM at);
    void OnFocusChanged() const;
    void OnPrintClient(HDC dc) const;

    void Paint(HDC dc, const RECT& area) const;
    void PaintLine(HDC dc, const RECT& row, std::string_view line, bool selected) const;
    void MeasureNewLines();
    // Marks the rows and, when their thumbs moved, the scroll bars for painting.
    void Invalidate();
    // The same for new lines: at once, or when PaintInterval has passed since the last time.
    void PaintSoon();
    void ScrollTo(std::int64_t top, int left);
    void ScrollBy(std::int64_t lines) { ScrollTo(static_cast<std::int64_t>(top_) + lines, left_); }
    void ScrollSideways(int left) { ScrollTo(static_cast<std::int64_t>(top_), left); }
    void UpdateScrollBars();
    void Select(std::uint64_t anchor, std::uint64_t caret);
    // Selects the line (clamped to those held), or extends the selection to it, and brings it in sight.
    void MoveCaret(std::int64_t to, bool extend);
    void SelectAll();
    bool Selected(std::uint64_t line) const;
    void CopySelection();
    // The lines from first to last (absolute, inclusive) as shown, CR LF between them.
    std::string ShownText(std::uint64_t first, std::uint64_t last) const;
    std::wstring Text() const;
    LRESULT CopyText(std::size_t room, wchar_t* buffer) const;

    std::uint64_t First() const { return view_->Added - view_->Lines.size(); }
    std::uint64_t End() const { return view_->Added; }
    const std::string& Line(std::uint64_t line) const { return view_->Lines[line - First()]; }
    // The top line that shows the newest at the bottom.
    std::uint64_t LastTop() const;
    // The line at y in the window, or beyond the lines held.
    std::int64_t LineAt(int y) const;
    // The newest line was in sight at the last update and the view is at its left edge.
    bool Following() const { return left_ == 0 && shownEnd_ <= top_ + rows_; }
    int ContentWidth() const { return widest_ + 2 * margin_; }

    const SyslogViewerView* view_ = nullptr;
    HFONT font_ = nullptr;
    OwnedDC measuring_;
    int lineHeight_ = 1, charWidth_ = 1, margin_ = 1;
    // Whole lines that fit, and the width of the window's inside.
    int rows_ = 1, width_ = 0;
    // The view's end at the last update, and up to where the lines are measured.
    std::uint64_t shownEnd_ = 0, measuredEnd_ = 0;
    int widest_ = 0;
    std::uint64_t top_ = 0;
    int left_ = 0;
    // The caret is the line the keys move from; the selection runs from the anchor to it.
    bool selected_ = false;
    std::uint64_t anchor_ = 0, caret_ = 0;
    int wheel_ = 0;
    // What waits for the next paint, and when the view was last marked for one.
    bool rowsDue_ = false, barsDue_ = false, paintTimerSet_ = false;
    ULONGLONG lastPaint_ = 0;
};

}  // namespace rm::win
