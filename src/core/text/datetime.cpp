#include "text/datetime.h"

#include <chrono>
#include <cmath>

namespace rm {
namespace {

using namespace std::chrono;

constexpr sys_days Epoch = sys_days{year{1899} / December / 30};
constexpr double MsPerDay = 86'400'000.0;

// Appends value as exactly width digits.
void AppendDigits(std::string& text, int value, int width) {
    text.resize(text.size() + static_cast<std::size_t>(width), '0');
    for (auto it = text.rbegin(); width-- > 0; ++it, value /= 10) *it = static_cast<char>('0' + value % 10);
}

}  // namespace

DateTime EncodeDateTime(const CivilTime& t) {
    const sys_days day = sys_days{year{t.Year} / t.Month / t.Day};
    const double days = static_cast<double>((day - Epoch).count());
    const double ms = ((t.Hour * 60.0 + t.Minute) * 60.0 + t.Second) * 1000.0 + t.Millisecond;
    return days + ms / MsPerDay;
}

CivilTime DecodeDateTime(DateTime value) {
    const auto totalMs = static_cast<long long>(std::llround(value * MsPerDay));
    const long long msPerDay = static_cast<long long>(MsPerDay);
    long long days = totalMs / msPerDay;
    long long ms = totalMs % msPerDay;
    if (ms < 0) {
        ms += msPerDay;
        --days;
    }
    const year_month_day ymd{Epoch + std::chrono::days{days}};
    CivilTime t;
    t.Year = static_cast<int>(ymd.year());
    t.Month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.Day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.Hour = static_cast<int>(ms / 3'600'000);
    t.Minute = static_cast<int>(ms / 60'000 % 60);
    t.Second = static_cast<int>(ms / 1000 % 60);
    t.Millisecond = static_cast<int>(ms % 1000);
    return t;
}

std::string DateText(const CivilTime& t, char separator) {
    std::string text;
    text.reserve(10);
    AppendDigits(text, t.Year, 4);
    if (separator) text += separator;
    AppendDigits(text, t.Month, 2);
    if (separator) text += separator;
    AppendDigits(text, t.Day, 2);
    return text;
}

std::string TimeText(const CivilTime& t) {
    std::string text;
    text.reserve(8);
    AppendDigits(text, t.Hour, 2);
    text += ':';
    AppendDigits(text, t.Minute, 2);
    text += ':';
    AppendDigits(text, t.Second, 2);
    return text;
}

std::string DateTimeText(DateTime when, char between) {
    const CivilTime t = DecodeDateTime(when);
    return DateText(t, '/') + between + TimeText(t);
}

}  // namespace rm
