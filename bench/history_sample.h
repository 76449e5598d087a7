// A long connection history as the monitor writes it: calls on both ports,
// some across midnight, the first ones of a record format without a number.
#pragma once

#include <cstdio>
#include <string>

namespace rmview::bench {

inline std::string SampleHistory(int records) {
    std::string text;
    text.reserve(static_cast<std::size_t>(records) * 82);
    // Days since 1970-01-01 and seconds into the day, from 2001/01/01.
    long day = 11323, second = 8 * 3600;
    unsigned state = 12345;
    const auto next = [&state](unsigned range) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % range;
    };
    const auto stamp = [](long d, long s, char* out) {
        // Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
        const long z = d + 719468, era = z / 146097, doe = z - era * 146097;
        const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
        const long dd = doy - (153 * mp + 2) / 5 + 1, mm = mp < 10 ? mp + 3 : mp - 9;
        const long yy = yoe + era * 400 + (mm <= 2);
        std::snprintf(out, 24, "%04ld/%02ld/%02ld,%02ld:%02ld:%02ld", yy, mm, dd, s / 3600, s / 60 % 60, s % 60);
    };
    char start[24], connect[24], end[24], line[128];
    for (int i = 0; i < records; ++i) {
        second += 60 + next(4 * 3600);
        day += second / 86400;
        second %= 86400;
        stamp(day, second, start);
        second += 5 + next(30);
        day += second / 86400;
        second %= 86400;
        stamp(day, second, connect);
        second += 30 + next(2 * 3600);
        day += second / 86400;
        second %= 86400;
        stamp(day, second, end);
        const int port = next(3) == 0 ? 2 : 1;
        if (i < records / 10) {
            std::snprintf(line, sizeof line, "2.04,Port%d,%s,%s,%s\r\n", port, start, connect, end);
        } else {
            std::snprintf(line, sizeof line, "2.04,Port%d,%s,%s,%s,%7u\r\n", port, start, connect, end, next(10000000));
        }
        text += line;
    }
    return text;
}

}  // namespace rmview::bench
