#include "usage_page.h"

#include <cstdio>

namespace rmview {
namespace {

constexpr const char* WeekdayNames[] = {"日", "月", "火", "水", "木", "金", "土"};

std::string YearText(int year) { return std::to_string(year) + "年"; }

std::string MonthText(YearMonth month) { return YearText(month.Year) + std::to_string(month.Month) + "月"; }

std::string TotalsText(const std::string& period, const PortTimes& total) {
    const auto part = [](std::string name, std::int64_t seconds, int calls) {
        return name.append(" ").append(DurationText(seconds)).append(" (").append(std::to_string(calls)).append("回)");
    };
    std::string text = period + "の合計";
    for (std::size_t port = 0; port < total.size(); ++port) {
        text += "　" + part("Port" + std::to_string(port + 1), total[port].Seconds, total[port].Calls);
    }
    return text + "　" + part("計", total[0].Seconds + total[1].Seconds, total[0].Calls + total[1].Calls);
}

std::string Row(const std::string& label, const PortTimes& ports) {
    std::string row = label;
    for (const PortTime& port : ports) {
        row.append("\t").append(DurationText(port.Seconds)).append("\t").append(std::to_string(port.Calls));
    }
    return row + "\r\n";
}

std::string TableHead(const char* first) { return std::string(first) + "\tPort1\tPort1回数\tPort2\tPort2回数\r\n"; }

}  // namespace

std::string DurationText(std::int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

std::string MonthLabel(YearMonth month) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d年%02d月", month.Year, month.Month);
    return text;
}

UsagePage PageOf(const Usage& usage, YearMonth month) {
    UsagePage page;
    page.Month = month;
    page.MonthHeading = MonthText(month) + " 日別の接続時間";
    page.Days = DaysOf(usage, month);
    page.MonthTotals = TotalsText(MonthText(month), Total(page.Days));
    page.YearHeading = YearText(month.Year) + " 月別の接続時間";
    page.Months = MonthsOf(usage, month.Year);
    page.YearTotals = TotalsText(YearText(month.Year), Total(page.Months));
    return page;
}

std::string ReadSummary(const HistoryRead& read, const Usage& usage) {
    if (read.FilesFound == 0) return "履歴ファイル log\\Rmonitor.csv がありません";
    std::string text = "接続記録 " + std::to_string(read.Calls.size()) + "件";
    if (usage.Duplicates > 0) text += " (うち重複 " + std::to_string(usage.Duplicates) + "件)";
    text += "　読めない行 " + std::to_string(read.DamagedLines) + "行";
    return text;
}

std::string PageText(const UsagePage& page) {
    std::string text = page.MonthHeading + "\r\n" + TableHead("日");
    for (std::size_t i = 0; i < page.Days.size(); ++i) {
        const int day = static_cast<int>(i) + 1;
        text += Row(std::to_string(day) + "日(" + WeekdayNames[WeekdayOf(page.Month, day)] + ")", page.Days[i]);
    }
    text += Row("合計", Total(page.Days)) + "\r\n" + page.YearHeading + "\r\n" + TableHead("月");
    for (std::size_t i = 0; i < page.Months.size(); ++i) text += Row(std::to_string(i + 1) + "月", page.Months[i]);
    return text + Row("合計", Total(page.Months));
}

}  // namespace rmview
