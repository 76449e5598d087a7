// Tsyslogform: the window that lists the received syslog lines. It renders
// the core's viewer view and reports its menu commands; the core decides.
#pragma once

#include <cstdint>
#include <functional>

#include <windows.h>

#include "handles.h"
#include "state/view.h"
#include "state/viewer_menu.h"
#include "window.h"

namespace rm::win {

struct ViewerEvents {
    std::function<void(ViewerItem)> Command;
    // The user closed the window; it is only hidden.
    std::function<void()> Closed;
};

inline constexpr wchar_t ViewerClassName[] = L"Tsyslogform";

class SyslogViewer : public Window {
public:
    explicit SyslogViewer(ViewerEvents events) : events_(std::move(events)) {}

    // Hidden, centred on the screen, with the lines the view holds now. The
    // view must live as long as the window: new lines are taken from it in
    // batches, a fraction of a second apart.
    bool Create(const SyslogViewerView& view);
    void Render(const SyslogViewerView& view);
    HWND Memo() const { return memo_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnSize();
    void OnPaint();
    void OnClose();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnLinesTimer();
    void ScheduleNewLines();
    // Puts in up to most of the lines not shown yet, oldest first.
    void AddNewLines(std::size_t most);
    void ApplyFont(const ViewerFont& font);
    int Scale(int pixels) const;

    ViewerEvents events_;
    const SyslogViewerView* view_ = nullptr;
    HWND memo_ = nullptr;
    OwnedFont font_;
    ViewerFont fontShown_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    int raised_ = 0;
    // Lines of the view in the window: the view's Added when they were put in, and how many.
    std::uint64_t shownAdded_ = 0;
    std::size_t lineCount_ = 0;
    ULONGLONG lastAdded_ = 0;
    bool linesTimerSet_ = false;
};

}  // namespace rm::win
