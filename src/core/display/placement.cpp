#include "placement.h"

#include <algorithm>
#include <limits>

namespace rm {
namespace {

constexpr int Largest = std::numeric_limits<int>::max();

// One axis: the start that keeps [start, start + length) inside [low, high).
int StartInside(int start, int length, int low, int high) { return std::max(low, std::min(start, high - length)); }

}  // namespace

ScreenRect RectAt(int left, int top, int width, int height) {
    left = std::min(left, Largest - width);
    top = std::min(top, Largest - height);
    return {left, top, left + width, top + height};
}

ScreenRect MoveInside(const ScreenRect& rect, const ScreenRect& area) {
    const int width = std::min(rect.Width(), area.Width());
    const int height = std::min(rect.Height(), area.Height());
    const int left = StartInside(rect.Left, width, area.Left, area.Right);
    const int top = StartInside(rect.Top, height, area.Top, area.Bottom);
    return {left, top, left + width, top + height};
}

}  // namespace rm
