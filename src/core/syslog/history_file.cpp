#include "syslog/history_file.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/cp932.h"
#include "text/durable_file.h"
#include "text/files.h"

namespace rm {
namespace {

namespace fs = std::filesystem;

constexpr const char* UnwrittenMessage =
    "履歴ファイルに書き込めません。\r%s\r書き込めるようになりしだい、この接続の記録も書き込みます。";

bool BackupRuleHolds(const MainState& s) {
    return !s.settings.MasterMode && s.peers.MasterAddress.empty() && !s.peers.MasterAtConnect;
}

// False at the first line the file does not take; the lines written go.
bool WriteLines(const fs::path& file, std::vector<std::string>& lines) {
    std::size_t written = 0;
    while (written < lines.size() && AppendHistoryLine(file, lines[written])) ++written;
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(written));
    return lines.empty();
}

}  // namespace

fs::path HistoryFilePath(const fs::path& appDir) { return appDir / "log" / "Rmonitor.csv"; }

fs::path BackupHistoryFilePath(const fs::path& appDir) { return appDir / "log" / "RMBackUp.csv"; }

fs::path ReceivedHistoryFilePath(const fs::path& appDir) { return appDir / "log" / "LogBackUp.csv"; }

bool AppendHistoryLine(const fs::path& file, std::string_view line) {
    SetWritable(file, true);
    DurableFile out(file, DurableFile::Mode::Append);
    if (!out.IsOpen()) return false;
    // One write, so a reader never sees the line without its end.
    std::string bytes;
    bytes.reserve(line.size() + 4);
    if (!out.EndsWithLineEnd()) bytes.append("\r\n");
    bytes.append(line).append("\r\n");
    const bool written = out.Write(bytes) && out.Sync();
    return out.Close() && written;
}

void WriteKeptHistory(Monitor& m) {
    FileKeeping& files = m.s.files;
    std::optional<fs::path> failed;
    for (const auto& [file, lines] : {std::pair{HistoryFilePath(m.s.AppDir), &files.HistoryUnwritten},
                                      std::pair{BackupHistoryFilePath(m.s.AppDir), &files.BackupUnwritten},
                                      std::pair{ReceivedHistoryFilePath(m.s.AppDir), &files.ReceivedUnwritten}}) {
        if (!WriteLines(file, *lines) && !failed) failed = file;
    }
    if (!failed) {
        files.HistoryFailureTold = false;
        return;
    }
    m.ports.Diagnostics.Log("history line kept, not written: " + PathText(*failed));
    if (files.HistoryFailureTold) return;
    files.HistoryFailureTold = true;
    std::string text = UnwrittenMessage;
    text.replace(text.find("%s"), 2, PathText(*failed));
    m.ports.Dialogs.ShowMessage(text);
}

void WriteReceivedHistoryLine(Monitor& m, std::string_view line) {
    std::string kept;
    kept.reserve(line.size());
    // One record per line, whatever the sender put in it.
    for (const char c : line) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) kept += c;
    }
    m.s.files.ReceivedUnwritten.push_back(std::move(kept));
    WriteKeptHistory(m);
}

void WriteHistoryRecord(Monitor& m, std::string_view record) {
    const std::string line = Utf8ToCp932(record);
    m.s.files.HistoryUnwritten.push_back(line);
    if (BackupRuleHolds(m.s)) m.s.files.BackupUnwritten.push_back(line);
    m.s.peers.MasterAtConnect = false;
    WriteKeptHistory(m);
}

}  // namespace rm
