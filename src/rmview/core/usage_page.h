// What the viewer shows for one month: the month by day, its year by month,
// the totals of both, and the same as text for the clipboard.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "usage.h"

namespace rmview {

struct UsagePage {
    YearMonth Month;
    std::string MonthHeading;  // "2003年1月 日別の接続時間"
    std::vector<PortTimes> Days;
    std::string MonthTotals;
    std::string YearHeading;  // "2003年 月別の接続時間"
    std::array<PortTimes, 12> Months;
    std::string YearTotals;
};

UsagePage PageOf(const Usage& usage, YearMonth month);

// h:mm:ss, hours without limit.
std::string DurationText(std::int64_t seconds);
// "2003年01月", as the month list shows it.
std::string MonthLabel(YearMonth month);
// The records read and the lines that were not records.
std::string ReadSummary(const HistoryRead& read, const Usage& usage);
// Both tables, tab-separated, lines ended by CR LF.
std::string PageText(const UsagePage& page);

}  // namespace rmview
