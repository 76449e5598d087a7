// The first lines of any bytes, read as a history file by RMView: every line
// not empty is a call or a damaged line, every call runs forward on port 1
// or 2, and the sums never give a port more than a day's time on one day.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_checks.h"
#include "history_records.h"
#include "text/lines.h"
#include "usage.h"
#include "usage_page.h"

namespace {

// A few calls a year apart already span hundreds of months; with every line
// and every month's page, long runs slowed to a crawl as such inputs piled up.
// The pages' text takes most of the time, and one page goes through the same
// code as any other.
constexpr std::size_t MaxLines = 32;

std::string_view FirstLines(std::string_view bytes, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < count && end < bytes.size(); ++i) {
        const std::size_t newline = bytes.find('\n', end);
        end = newline == std::string_view::npos ? bytes.size() : newline + 1;
    }
    return bytes.substr(0, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = FirstLines({reinterpret_cast<const char*>(data), size}, MaxLines);
    rmview::HistoryRead read;
    rmview::ReadHistoryText(bytes, read);

    // Lines end as in every file the programs read: CR LF, LF or a lone CR.
    std::size_t lines = 0;
    for (const std::string_view line : rm::SplitLines(bytes)) lines += line.empty() ? 0 : 1;
    Check(read.Calls.size() + static_cast<std::size_t>(read.DamagedLines) == lines);

    for (const rmview::Call& call : read.Calls)
        Check((call.Port == 1 || call.Port == 2) && call.Connected <= call.Ended);
    const rmview::Usage usage = rmview::Aggregate(read.Calls);
    int calls = usage.Duplicates;
    for (const auto& [day, ports] : usage.Days) {
        for (const rmview::PortTime& port : ports) {
            Check(port.Seconds >= 0 && port.Seconds <= 86400);
            calls += port.Calls;
        }
    }
    Check(static_cast<std::size_t>(calls) == read.Calls.size());
    const std::vector<rmview::YearMonth> months = rmview::MonthsWithUsage(usage);
    for (std::size_t i = 1; i < months.size(); ++i) Check(months[i - 1] < months[i]);
    if (!months.empty()) {
        Check(!rmview::PageText(rmview::PageOf(usage, months.front())).empty());
        Check(!rmview::PageText(rmview::PageOf(usage, months.back())).empty());
    }
    return 0;
}
