#include "notice_place.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace rm::win {
namespace {

// The notices on screen, oldest first.
thread_local std::vector<HWND> placed;

// Which edge the taskbar is docked to, and the work area of its screen.
// Without a taskbar (Wine draws none of its own) the icons are at the
// bottom right of the main screen, as on Windows by default.
UINT TaskbarEdge(RECT& work) {
    APPBARDATA bar{sizeof bar};
    const bool found = SHAppBarMessage(ABM_GETTASKBARPOS, &bar) != 0;
    MONITORINFO screen{sizeof screen};
    const HMONITOR monitor = found ? MonitorFromRect(&bar.rc, MONITOR_DEFAULTTOPRIMARY)
                                   : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    GetMonitorInfoW(monitor, &screen);
    work = screen.rcWork;
    return found ? bar.uEdge : ABE_BOTTOM;
}

}  // namespace

void ShowAtTrayCorner(HWND notice) {
    std::erase(placed, notice);
    RECT frame{};
    GetWindowRect(notice, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT work{};
    const UINT edge = TaskbarEdge(work);
    const int margin = MulDiv(8, static_cast<int>(GetDpiForWindow(notice)), USER_DEFAULT_SCREEN_DPI);
    const bool left = edge == ABE_LEFT, top = edge == ABE_TOP;
    RECT place{left ? work.left + margin : work.right - margin - width,
               top ? work.top + margin : work.bottom - margin - height, 0, 0};
    place.right = place.left + width;
    place.bottom = place.top + height;
    // Away from the corner past every notice it would cover, each looked at
    // in the order they came, so a later one never lands on an earlier one.
    for (const HWND other : placed) {
        RECT taken{}, overlap{};
        if (!IsWindowVisible(other) || !GetWindowRect(other, &taken) || !IntersectRect(&overlap, &place, &taken)) {
            continue;
        }
        const int shift = top ? taken.bottom + margin - place.top : taken.top - margin - place.bottom;
        OffsetRect(&place, 0, shift);
    }
    placed.push_back(notice);
    // Above the panel's other windows too: Wine puts a window raised to the
    // top right above its owner, below the owner's other windows.
    SetWindowPos(notice, HWND_TOPMOST, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ForgetNoticePlace(HWND notice) { std::erase(placed, notice); }

}  // namespace rm::win
