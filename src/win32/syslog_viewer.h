// SyslogViewer: the window that lists the received syslog lines. It renders
// the core's viewer view and reports its menu commands; the core decides.
#pragma once

#include <functional>

#include <windows.h>

#include "handles.h"
#include "line_view.h"
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
    ~SyslogViewer() override { Destroy(); }

    // Hidden, centred on the screen, with the lines the view holds. The view
    // must live as long as the window: its lines are painted from there.
    bool Create(const SyslogViewerView& view);
    void Render(const SyslogViewerView& view);
    HWND LinesWindow() const { return lines_.Handle(); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnSize();
    void OnPaint();
    void OnClose();
    void OnDpiChanged(UINT dpi) override;
    void OnGetMinMaxInfo(MINMAXINFO& info) const;
    void ApplyFont(const ViewerFont& font);

    ViewerEvents events_;
    // Before the lines, which use it until they go.
    OwnedFont font_;
    LineView lines_;
    ViewerFont fontShown_;
    int raised_ = 0;
};

}  // namespace rm::win
