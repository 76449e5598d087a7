// Local date-times as days since 1899-12-30 with the time of day as fraction.
#pragma once

#include <string>

namespace rm {

// Local date-time: days since 1899-12-30, the fraction being the time of day.
using DateTime = double;

struct CivilTime {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

DateTime EncodeDateTime(const CivilTime& t);
// yyyy, mm and dd joined by the separator ("2003/01/02", "20030102").
std::string DateText(const CivilTime& t, char separator = '\0');
// hh:nn:ss, 24 hours.
std::string TimeText(const CivilTime& t);
// yyyy/mm/dd, the separator, hh:nn:ss: the times of the history and the syslog lines.
std::string DateTimeText(DateTime when, char between);
// Rounded to the millisecond, so 12:00:00 never reads as 11:59:59.
CivilTime DecodeDateTime(DateTime value);

}  // namespace rm
