#include "syslog/call_record.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <vector>

#include "syslog/history_file.h"
#include "text/file_replace.h"
#include "text/files.h"
#include "text/positional_text.h"
#include "text/datetime.h"

namespace rm {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view SevenBlanks = "       ";
// How often a call's last time up is written while it lasts.
constexpr std::int64_t KeepInterval = 60'000;
constexpr std::string_view MasterMark = "master";

// The record so far, the dialled number, the last time the call was known
// to be up and whether a master was known at connect, a line each.
void WriteOpenCall(Monitor& m) {
    const Connection& c = m.s.conn;
    const std::string text = FileTextOf({c.HistoryRecord, c.DialledNumber, c.OpenCallSeen,
                                         m.s.peers.MasterAtConnect ? std::string(MasterMark) : ""});
    const fs::path file = OpenCallFilePath(m.s.AppDir);
    const bool written = ReplaceFileContents(file, text, [&m](const fs::path& from, const fs::path& to) {
        return m.ports.Files.MoveOver(from, to);
    });
    if (!written) m.ports.Diagnostics.Log("open call not kept: " + PathText(file));
    m.s.conn.OpenCallKeptAt = m.ports.Clock.MonotonicMilliseconds();
}

void ForgetOpenCall(Monitor& m) {
    m.s.conn.OpenCallRestored = false;
    std::error_code ignored;
    fs::remove(OpenCallFilePath(m.s.AppDir), ignored);
}

// yyyy/mm/dd,hh:nn:ss
bool IsStamp(std::string_view text) {
    constexpr std::string_view Shape = "0000/00/00,00:00:00";
    if (text.size() != Shape.size()) return false;
    for (std::size_t i = 0; i < Shape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (Shape[i] == '0' ? !digit : text[i] != Shape[i]) return false;
    }
    return true;
}

}  // namespace

fs::path OpenCallFilePath(const fs::path& appDir) { return appDir / "log" / "Rmonitor.open.csv"; }

void RecordConnect(Monitor& m, const std::string& stamp) {
    Connection& c = m.s.conn;
    if (c.HistoryStage != 1) return;
    c.HistoryRecord += "," + stamp;
    c.HistoryStage = 2;
    c.OpenCallSeen = stamp;
    WriteOpenCall(m);
}

void FinishRecord(Monitor& m, const std::string& stamp) {
    Connection& c = m.s.conn;
    if (c.HistoryStage != 2) return;
    c.HistoryRecord += "," + stamp;
    c.HistoryStage = 0;
    if (!c.DialledNumber.empty() && c.DialledNumber != SevenBlanks) c.HistoryRecord += "," + c.DialledNumber;
    c.DialledNumber.clear();
    WriteHistoryRecord(m, c.HistoryRecord);
    ForgetOpenCall(m);
}

void RestoreOpenCall(Monitor& m) {
    const std::optional<std::string> bytes = ReadFileBytes(OpenCallFilePath(m.s.AppDir));
    if (!bytes) return;
    const std::vector<std::string> lines = LinesOf(*bytes, 4);
    // Eight fields are needed to make a record: six here and the end's two.
    if (std::count(lines[0].begin(), lines[0].end(), ',') != 5 || !IsStamp(lines[2])) {
        m.ports.Diagnostics.Log("open call not taken up, damaged: " + PathText(OpenCallFilePath(m.s.AppDir)));
        return;
    }
    Connection& c = m.s.conn;
    c.HistoryRecord = lines[0];
    c.HistoryStage = 2;
    c.DialledNumber = lines[1];
    c.OpenCallSeen = lines[2];
    c.OpenCallRestored = true;
    m.s.peers.MasterAtConnect = lines[3] == MasterMark;
}

void EndUnseenCall(Monitor& m) {
    if (!m.s.conn.OpenCallRestored) return;
    m.ports.Diagnostics.Log("the call taken up at start ended unseen; written with its last time up");
    FinishRecord(m, m.s.conn.OpenCallSeen);
}

void KeepOpenCall(Monitor& m, bool now) {
    Connection& c = m.s.conn;
    // A call taken up at start is not known to be up until a line of it comes.
    if (c.HistoryStage != 2 || c.OpenCallRestored) return;
    if (!now && m.ports.Clock.MonotonicMilliseconds() - c.OpenCallKeptAt < KeepInterval) return;
    c.OpenCallSeen = DateTimeText(m.ports.Clock.Now(), ',');
    WriteOpenCall(m);
}

}  // namespace rm
