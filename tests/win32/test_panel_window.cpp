#include <gtest/gtest.h>

#include <memory>

#include "panel_window.h"

namespace rm::win {
namespace {

PanelEvents NoEvents() {
    return {[](UINT) {}, [] {}, [](int, int) {}, [] {}, [] {}, [] {}};
}

// Declared before a panel: takes the quit its end posts, which would end later tests' loops.
struct TakesQuit {
    ~TakesQuit() { MSG quit; PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE); }
};

POINT Where(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

TEST(PanelWindow, ARenderNeverPullsThePanelBackWhileTheStoredPlaceStays) {
    const TakesQuit takesQuit;
    PanelWindow panel(NoEvents());
    ASSERT_TRUE(panel.Create());
    PanelView view;
    view.Caption = "00:01:02";
    panel.Render(view, {10, 20});
    EXPECT_EQ(Where(panel.Handle()).x, 10);
    EXPECT_EQ(Where(panel.Handle()).y, 20);

    // The user drags it; a tick renders meanwhile with the old stored place.
    SetWindowPos(panel.Handle(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    panel.Render(view, {10, 20});
    EXPECT_EQ(Where(panel.Handle()).x, 50);
    EXPECT_EQ(Where(panel.Handle()).y, 60);

    // A new stored place (read from the settings) moves it.
    panel.Render(view, {70, 80});
    EXPECT_EQ(Where(panel.Handle()).x, 70);
    EXPECT_EQ(Where(panel.Handle()).y, 80);

    // What the user reads.
    wchar_t caption[32] = {};
    GetWindowTextW(GetWindow(panel.Handle(), GW_CHILD), caption, 32);
    EXPECT_STREQ(caption, L"00:01:02");
}

// A place stored on a monitor that is gone (a laptop undocked from the one
// left of it) shows the panel inside the work area that is there.
TEST(PanelWindow, AStoredPlaceWhereNoMonitorIsShowsThePanelInsideTheWorkArea) {
    const TakesQuit takesQuit;
    PanelWindow panel(NoEvents());
    ASSERT_TRUE(panel.Create());
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    PanelView view;
    view.Shown = true;
    view.Caption = "00:00:04";
    RECT size{};
    GetWindowRect(panel.Handle(), &size);
    const LONG width = size.right - size.left, height = size.bottom - size.top;

    panel.Render(view, {-5000, -5000});
    RECT at{};
    GetWindowRect(panel.Handle(), &at);
    EXPECT_TRUE(IsWindowVisible(panel.Handle()));
    EXPECT_EQ(at.left, work.left);
    EXPECT_EQ(at.top, work.top);
    EXPECT_EQ(at.right - at.left, width);
    EXPECT_EQ(at.bottom - at.top, height);

    panel.Render(view, {work.right + 5000, work.bottom - height / 2});
    GetWindowRect(panel.Handle(), &at);
    EXPECT_EQ(at.right, work.right);
    EXPECT_EQ(at.bottom, work.bottom);
    EXPECT_EQ(at.right - at.left, width);
}

// The panel's end ends the program's message loop, also when its object goes first.
TEST(PanelWindow, ItsEndEndsTheMessageLoopAlsoWhenItsObjectGoesFirst) {
    auto panel = std::make_unique<PanelWindow>(NoEvents());
    ASSERT_TRUE(panel->Create());
    panel.reset();
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace rm::win
