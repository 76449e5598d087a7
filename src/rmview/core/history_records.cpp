#include "history_records.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>

#include "text/lines.h"

namespace rmview {
namespace {

constexpr std::size_t FieldsWithoutNumber = 8, FieldsWithNumber = 9;
constexpr std::size_t NumberLength = 7;
// A dial-up call held for more than a year is a broken record; one such line
// would otherwise fill the days of centuries.
constexpr LocalSeconds LongestCall = 366LL * 86400;

// The digits of text[from, from + count), or -1.
int Digits(std::string_view text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// yyyy/mm/dd as days since 1970-01-01.
std::optional<std::int64_t> ParseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '/' || text[7] != '/') return std::nullopt;
    const int y = Digits(text, 0, 4), m = Digits(text, 5, 2), d = Digits(text, 8, 2);
    if (y < 0 || m < 0 || d < 0) return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(y), std::chrono::month(static_cast<unsigned>(m)),
                                           std::chrono::day(static_cast<unsigned>(d))};
    if (!date.ok()) return std::nullopt;
    return std::chrono::sys_days(date).time_since_epoch().count();
}

// hh:nn:ss as seconds since midnight.
std::optional<std::int64_t> ParseTime(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
    const int h = Digits(text, 0, 2), n = Digits(text, 3, 2), s = Digits(text, 6, 2);
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59) return std::nullopt;
    return h * 3600 + n * 60 + s;
}

std::optional<LocalSeconds> ParseStamp(std::string_view date, std::string_view time) {
    const auto days = ParseDate(date);
    const auto seconds = ParseTime(time);
    if (!days || !seconds) return std::nullopt;
    return *days * 86400 + *seconds;
}

bool IsNumber(std::string_view text) {
    return text.size() == NumberLength && text.find_first_not_of(" 0123456789:;<=>?") == std::string_view::npos;
}

bool IsVersion(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c <= ' ' || c >= 0x7F) return false;
    }
    return true;
}

}  // namespace

std::optional<Call> ParseHistoryLine(std::string_view line) {
    std::array<std::string_view, FieldsWithNumber + 1> fields;
    std::size_t count = 0;
    for (std::size_t from = 0;;) {
        const std::size_t comma = line.find(',', from);
        fields[count++] = line.substr(from, comma - from);
        if (comma == std::string_view::npos) break;
        if (count == fields.size()) return std::nullopt;
        from = comma + 1;
    }
    if (count != FieldsWithoutNumber && count != FieldsWithNumber) return std::nullopt;
    if (count == FieldsWithNumber && !IsNumber(fields[8])) return std::nullopt;
    if (!IsVersion(fields[0])) return std::nullopt;
    Call call;
    if (fields[1] == "Port1") {
        call.Port = 1;
    } else if (fields[1] == "Port2") {
        call.Port = 2;
    } else {
        return std::nullopt;
    }
    const auto started = ParseStamp(fields[2], fields[3]);
    const auto connected = ParseStamp(fields[4], fields[5]);
    const auto ended = ParseStamp(fields[6], fields[7]);
    // Times that run backwards give no connected time to draw.
    if (!started || !connected || !ended || *started > *connected || *connected > *ended ||
        *ended - *connected > LongestCall) {
        return std::nullopt;
    }
    call.Connected = *connected;
    call.Ended = *ended;
    return call;
}

// The monitor's own line rule, so that the viewer reads its files line for line as it does.
void ReadHistoryText(std::string_view bytes, HistoryRead& into) {
    for (const std::string_view line : rm::SplitLines(bytes)) {
        if (line.empty()) continue;
        if (const auto call = ParseHistoryLine(line)) {
            into.Calls.push_back(*call);
        } else {
            ++into.DamagedLines;
        }
    }
}

HistoryRead ReadHistoryFiles(const std::filesystem::path& appDir) {
    HistoryRead read;
    for (const char* name : {"Rmonitor.csv", "LogBackUp.csv"}) {
        // In one read of the file's size: byte by byte it took most of the
        // viewer's start under Wine.
        const std::filesystem::path file = appDir / "log" / name;
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(file, ignored)) continue;
        std::ifstream in(file, std::ios::binary | std::ios::ate);
        if (!in.is_open()) continue;
        ++read.FilesFound;
        std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
        in.seekg(0);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
        ReadHistoryText(bytes, read);
    }
    return read;
}

}  // namespace rmview
