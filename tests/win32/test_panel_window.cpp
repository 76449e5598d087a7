#include <gtest/gtest.h>

#include "panel_window.h"

namespace rm::win {
namespace {

PanelEvents NoEvents() {
    return {[](UINT) {}, [] {}, [](int, int) {}, [] {}, [] {}, [] {}};
}

POINT Where(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

TEST(PanelWindow, ARenderNeverPullsThePanelBackWhileTheStoredPlaceStays) {
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

}  // namespace
}  // namespace rm::win
