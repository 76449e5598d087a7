// The monitor's connection history files as calls: each CSV record gives
// its port and when it connected and ended. Lines that are no record (cut
// by a power loss, edited by hand) are skipped and counted.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace rmview {

// Local time in seconds since 1970-01-01 00:00:00, without a time zone: the
// files hold the PC's local time and nothing else.
using LocalSeconds = std::int64_t;

struct Call {
    int Port = 1;  // 1 or 2
    LocalSeconds Connected = 0;
    LocalSeconds Ended = 0;
    bool operator==(const Call&) const = default;
};

struct HistoryRead {
    std::vector<Call> Calls;
    int DamagedLines = 0;
    // How many files were there to read.
    int FilesFound = 0;
};

// One line without its line end: version, port, start, connect and end as
// date and time, and the dialled number when one was seen.
std::optional<Call> ParseHistoryLine(std::string_view line);

// Every line of bytes (CR LF, a bare LF also ends a line); empty lines are
// neither calls nor damage.
void ReadHistoryText(std::string_view bytes, HistoryRead& into);

// log\Rmonitor.csv and, on the master, log\LogBackUp.csv of the folder; a
// missing file is no error.
HistoryRead ReadHistoryFiles(const std::filesystem::path& appDir);

}  // namespace rmview
