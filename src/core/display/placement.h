// Where a window goes on screen: inside the work area of a monitor that is
// there, whatever place was stored when another monitor was attached.
#pragma once

namespace rm {

// Screen pixels; Right and Bottom lie just outside.
struct ScreenRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const ScreenRect&) const = default;
};

// A window of the size at a stored place (any number the settings file
// held); a place so far right or down that a side would leave the range of
// int is taken back just enough, the size kept.
ScreenRect RectAt(int left, int top, int width, int height);

// The rectangle moved the least that puts it fully inside the area, its size
// kept; a side longer than the area's is cut to it, at the area's left or top.
ScreenRect MoveInside(const ScreenRect& rect, const ScreenRect& area);

}  // namespace rm
