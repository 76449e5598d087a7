// App's face: the tiny borderless always-on-top panel that shows the
// connection time. It renders the core's panel view and reports what the
// user does with it; the application decides the rest.
#pragma once

#include <functional>
#include <string>

#include <windows.h>

#include "handles.h"
#include "state/state.h"
#include "state/view.h"
#include "window.h"

namespace rm::win {

struct PanelEvents {
    std::function<void(UINT commandId)> Command;
    std::function<void()> ContextMenu;
    // The user dragged the panel to this place.
    std::function<void(int left, int top)> Dragged;
    std::function<void()> Tick;
    // A close request: the menu, Alt+F4 or the end of the Windows session.
    std::function<void()> Close;
    std::function<void()> DpiChanged;
    // The user started the program again.
    std::function<void()> StartedAgain;
};

inline constexpr wchar_t PanelClassName[] = L"RoutavistaMonitorMain";
inline constexpr UINT TickMilliseconds = 2000;

class PanelWindow : public Window {
public:
    explicit PanelWindow(PanelEvents events) : events_(std::move(events)) {}
    ~PanelWindow() override { Destroy(); }

    // Hidden at 0,0; the tick starts at once. False when it cannot be created.
    bool Create();
    void StopTick();
    // Moves the panel only when the stored position changed since the last
    // render: a render during a drag must not pull it back. It goes inside
    // the work area of the monitor nearest to the stored place.
    void Render(const PanelView& panel, const PanelPosition& position);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    POINT OnScreen(const PanelPosition& position) const;
    void OnPaint();
    HBRUSH OnCtlColorStatic(HDC dc);
    void OnLeftButtonDown();
    void OnDpiChanged(UINT dpi) override;
    void LayOut();
    void UpdateFont();

    PanelEvents events_;
    HWND label_ = nullptr;
    HWND tooltip_ = nullptr;
    OwnedFont font_;
    std::wstring shownCaption_, shownHint_;
    FontColour colour_ = FontColour::WindowText;
    PanelPosition shownPosition_{};
    bool placed_ = false;
};

}  // namespace rm::win
