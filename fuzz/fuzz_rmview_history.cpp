// Any bytes read as a history file by RMView: every line that is not empty
// is a call or a damaged line, every call runs forward on port 1 or 2, and
// the sums never give a port more than a day's time on one day.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_checks.h"
#include "history_records.h"
#include "usage.h"
#include "usage_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rmview::HistoryRead read;
    rmview::ReadHistoryText(bytes, read);

    std::size_t lines = 0;
    for (std::string_view rest = bytes; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) ++lines;
    }
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
    for (const rmview::YearMonth month : rmview::MonthsWithUsage(usage)) {
        Check(!rmview::PageText(rmview::PageOf(usage, month)).empty());
    }
    return 0;
}
