#include "chart_paint.h"

#include <algorithm>

#include "axis.h"
#include "handles.h"
#include "wide.h"
#include "window.h"

namespace rmview::win {
namespace {

constexpr COLORREF PortColors[] = {RGB(49, 99, 206), RGB(230, 126, 34)};
constexpr COLORREF GridColor = RGB(220, 220, 220);
constexpr COLORREF AxisColor = RGB(96, 96, 96);
constexpr COLORREF MarkColor = RGB(255, 246, 200);

void Fill(HDC dc, const RECT& r, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

SIZE TextSize(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void Text(HDC dc, int x, int y, const std::wstring& text, COLORREF color = RGB(0, 0, 0)) {
    SetTextColor(dc, color);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void HorizontalLine(HDC dc, int left, int right, int y, COLORREF color) {
    const RECT line{left, y, right, y + 1};
    Fill(dc, line, color);
}

}  // namespace

void PaintChart(HDC dc, const RECT& area, const std::wstring& heading, std::span<const PortTimes> bars,
                const std::vector<ChartSlot>& slots, const ChartFonts& fonts) {
    const auto px = [&](int n) { return rm::win::ScaleToDpi(n, fonts.Dpi); };
    Fill(dc, area, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc, fonts.Heading);
    Text(dc, area.left + px(8), area.top + px(6), heading);
    const int lineHeight = TextSize(dc, L"0").cy;

    SelectObject(dc, fonts.Text);
    // The legend at the top right: a square in each port's colour.
    int x = area.right - px(8);
    for (int port = 2; port >= 1; --port) {
        const std::wstring name = L"Port" + std::to_wstring(port);
        x -= TextSize(dc, name).cx;
        Text(dc, x, area.top + px(6), name);
        const int box = px(10);
        x -= box + px(4);
        const RECT square{x, area.top + px(6) + (lineHeight - box) / 2, x + box,
                          area.top + px(6) + (lineHeight - box) / 2 + box};
        Fill(dc, square, PortColors[port - 1]);
        x -= px(14);
    }

    std::int64_t longest = 0;
    for (const PortTimes& slot : bars) {
        for (const PortTime& port : slot) longest = std::max(longest, port.Seconds);
    }
    const TimeAxis axis = AxisFor(longest);
    int labelWidth = 0;
    for (int i = 1; i <= axis.Steps; ++i) {
        labelWidth = std::max(labelWidth, static_cast<int>(TextSize(dc, rm::win::Widen(AxisLabel(axis.Step * i))).cx));
    }
    RECT plot{area.left + px(12) + labelWidth, area.top + px(12) + lineHeight, area.right - px(10),
              area.bottom - px(8) - lineHeight};
    if (plot.bottom <= plot.top || plot.right <= plot.left || bars.empty()) {
        SelectObject(dc, oldFont);
        return;
    }
    const int height = plot.bottom - plot.top;
    const double slotWidth = static_cast<double>(plot.right - plot.left) / static_cast<double>(bars.size());
    const auto slotLeft = [&](std::size_t i) {
        return plot.left + static_cast<int>(slotWidth * static_cast<double>(i));
    };

    for (std::size_t i = 0; i < slots.size() && i < bars.size(); ++i) {
        if (slots[i].Marked) Fill(dc, {slotLeft(i), plot.top, slotLeft(i + 1), plot.bottom}, MarkColor);
    }
    for (int i = 1; i <= axis.Steps; ++i) {
        const int y = plot.bottom - height * i / axis.Steps;
        HorizontalLine(dc, plot.left, plot.right, y, GridColor);
        const std::wstring label = rm::win::Widen(AxisLabel(axis.Step * i));
        Text(dc, plot.left - px(4) - TextSize(dc, label).cx, y - lineHeight / 2, label, AxisColor);
    }
    const std::int64_t top = axis.Step * axis.Steps;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const int left = slotLeft(i), width = slotLeft(i + 1) - left;
        const int barWidth = std::max(1, width * 2 / 5);
        const int gap = std::max(0, (width - 2 * barWidth) / 2);
        for (std::size_t port = 0; port < 2; ++port) {
            const int barHeight = static_cast<int>(
                static_cast<double>(height) * static_cast<double>(bars[i][port].Seconds) / static_cast<double>(top));
            if (barHeight == 0) continue;
            const int barLeft = left + gap + static_cast<int>(port) * barWidth;
            Fill(dc, {barLeft, plot.bottom - barHeight, barLeft + barWidth, plot.bottom}, PortColors[port]);
        }
    }
    HorizontalLine(dc, plot.left, plot.right, plot.bottom, AxisColor);
    const RECT yAxis{plot.left, plot.top, plot.left + 1, plot.bottom};
    Fill(dc, yAxis, AxisColor);

    // Every label when they fit, else every other one.
    int widest = 0;
    for (const ChartSlot& slot : slots) widest = std::max(widest, static_cast<int>(TextSize(dc, slot.Label).cx));
    const std::size_t every = widest + px(2) > static_cast<int>(slotWidth) ? 2 : 1;
    for (std::size_t i = 0; i < slots.size() && i < bars.size(); i += every) {
        const int center = (slotLeft(i) + slotLeft(i + 1)) / 2;
        Text(dc, center - TextSize(dc, slots[i].Label).cx / 2, plot.bottom + px(3), slots[i].Label,
             slots[i].LabelColor);
    }
    SelectObject(dc, oldFont);
}

}  // namespace rmview::win
