// Connected time and calls per day, per port. A call across midnight gives
// each day the part of it that fell on that day (so also across a month's
// or a year's end); it counts as one call, on the day it connected.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "history_records.h"

namespace rmview {

struct PortTime {
    std::int64_t Seconds = 0;
    int Calls = 0;
    bool operator==(const PortTime&) const = default;
};

// Port 1 at [0], port 2 at [1].
using PortTimes = std::array<PortTime, 2>;

struct YearMonth {
    int Year = 1970;
    int Month = 1;
    auto operator<=>(const YearMonth&) const = default;
};

struct Usage {
    // Days since 1970-01-01 with anything on them.
    std::map<std::int64_t, PortTimes> Days;
    // Records that told of a call already counted: a port carries one call
    // at a time, so overlapping records of one port are one call seen twice
    // (by this copy and by another that sent its backup to this master).
    int Duplicates = 0;
};

Usage Aggregate(std::vector<Call> calls);

YearMonth MonthOf(LocalSeconds when);
YearMonth Previous(YearMonth month);
YearMonth Next(YearMonth month);
int DaysIn(YearMonth month);
// 0 for Sunday to 6 for Saturday.
int WeekdayOf(YearMonth month, int day);

// The months that have connected time or calls, oldest first.
std::vector<YearMonth> MonthsWithUsage(const Usage& usage);
// One entry per day of the month.
std::vector<PortTimes> DaysOf(const Usage& usage, YearMonth month);
std::array<PortTimes, 12> MonthsOf(const Usage& usage, int year);

template <class Range>
PortTimes Total(const Range& entries) {
    PortTimes total;
    for (const PortTimes& entry : entries) {
        for (std::size_t port = 0; port < total.size(); ++port) {
            total[port].Seconds += entry[port].Seconds;
            total[port].Calls += entry[port].Calls;
        }
    }
    return total;
}

}  // namespace rmview
