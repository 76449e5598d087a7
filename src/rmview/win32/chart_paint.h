// One bar chart of connected time: a heading, the port legend, a time axis
// and two bars per slot (a day or a month), port 1 beside port 2.
#pragma once

#include <span>
#include <string>
#include <vector>

#include <windows.h>

#include "usage.h"

namespace rmview::win {

struct ChartSlot {
    std::wstring Label;
    COLORREF LabelColor = RGB(0, 0, 0);
    bool Marked = false;  // drawn on a tinted ground
};

struct ChartFonts {
    HFONT Text;
    HFONT Heading;
    UINT Dpi;
};

void PaintChart(HDC dc, const RECT& area, const std::wstring& heading, std::span<const PortTimes> bars,
                const std::vector<ChartSlot>& slots, const ChartFonts& fonts);

}  // namespace rmview::win
