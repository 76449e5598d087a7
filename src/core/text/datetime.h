// Local date-times as days since 1899-12-30 with the time of day as fraction.
#pragma once

#include "monitor/state.h"

namespace rm {

struct CivilTime {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

DateTime EncodeDateTime(const CivilTime& t);
// Rounded to the millisecond, so 12:00:00 never reads as 11:59:59.
CivilTime DecodeDateTime(DateTime value);

}  // namespace rm
