#include "usage.h"

#include <algorithm>
#include <chrono>

namespace rmview {
namespace {

constexpr std::int64_t SecondsPerDay = 86400;

std::int64_t DayOf(LocalSeconds when) {
    // Floor, so times before 1970 fall on their own day too.
    return when >= 0 ? when / SecondsPerDay : (when - SecondsPerDay + 1) / SecondsPerDay;
}

std::int64_t FirstDay(YearMonth month) {
    const std::chrono::year_month_day first{
        std::chrono::year(month.Year), std::chrono::month(static_cast<unsigned>(month.Month)), std::chrono::day(1)};
    return std::chrono::sys_days(first).time_since_epoch().count();
}

void Add(Usage& usage, const Call& call) {
    const std::size_t port = static_cast<std::size_t>(call.Port - 1);
    std::int64_t day = DayOf(call.Connected);
    ++usage.Days[day][port].Calls;
    for (LocalSeconds from = call.Connected; from < call.Ended; ++day) {
        const LocalSeconds to = std::min(call.Ended, (day + 1) * SecondsPerDay);
        usage.Days[day][port].Seconds += to - from;
        from = to;
    }
}

}  // namespace

Usage Aggregate(std::vector<Call> calls) {
    std::sort(calls.begin(), calls.end(), [](const Call& a, const Call& b) {
        return a.Port != b.Port ? a.Port < b.Port : a.Connected < b.Connected;
    });
    Usage usage;
    std::optional<Call> current;
    for (const Call& call : calls) {
        if (current && current->Port == call.Port && (call.Connected < current->Ended || call == *current)) {
            current->Ended = std::max(current->Ended, call.Ended);
            ++usage.Duplicates;
            continue;
        }
        if (current) Add(usage, *current);
        current = call;
    }
    if (current) Add(usage, *current);
    return usage;
}

YearMonth MonthOf(LocalSeconds when) {
    const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(DayOf(when)))};
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month()))};
}

YearMonth Previous(YearMonth month) {
    return month.Month == 1 ? YearMonth{month.Year - 1, 12} : YearMonth{month.Year, month.Month - 1};
}

YearMonth Next(YearMonth month) {
    return month.Month == 12 ? YearMonth{month.Year + 1, 1} : YearMonth{month.Year, month.Month + 1};
}

int DaysIn(YearMonth month) { return static_cast<int>(FirstDay(Next(month)) - FirstDay(month)); }

int WeekdayOf(YearMonth month, int day) {
    return static_cast<int>(
        std::chrono::weekday(std::chrono::sys_days(std::chrono::days(FirstDay(month) + day - 1))).c_encoding());
}

std::vector<YearMonth> MonthsWithUsage(const Usage& usage) {
    std::vector<YearMonth> months;
    for (const auto& [day, ports] : usage.Days) {
        const YearMonth month = MonthOf(day * SecondsPerDay);
        if (months.empty() || months.back() != month) months.push_back(month);
    }
    return months;
}

std::vector<PortTimes> DaysOf(const Usage& usage, YearMonth month) {
    const std::int64_t first = FirstDay(month);
    std::vector<PortTimes> days(static_cast<std::size_t>(DaysIn(month)));
    for (auto it = usage.Days.lower_bound(first); it != usage.Days.end() && it->first < first + std::ssize(days);
         ++it) {
        days[static_cast<std::size_t>(it->first - first)] = it->second;
    }
    return days;
}

std::array<PortTimes, 12> MonthsOf(const Usage& usage, int year) {
    std::array<PortTimes, 12> months;
    for (int m = 1; m <= 12; ++m) months[static_cast<std::size_t>(m - 1)] = Total(DaysOf(usage, {year, m}));
    return months;
}

}  // namespace rmview
