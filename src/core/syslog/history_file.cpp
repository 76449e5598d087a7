#include "syslog/history_file.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/cp932.h"
#include "text/durable_file.h"
#include "text/files.h"
#include "waits.h"

namespace rm {
namespace {

namespace fs = std::filesystem;

constexpr const char* UnwrittenMessage = "履歴ファイルに書き込めません。\r%s\r";
constexpr const char* SpilledText = "記録は %s に残し、書き込めるようになりしだい書き込みます。";
constexpr const char* HeldText = "書き込めるようになりしだい、この接続の記録も書き込みます。";

std::string Filled(std::string text, const fs::path& file) {
    text.replace(text.find("%s"), 2, PathText(file));
    return text;
}

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

// Appends what the spill file holds to the file and removes it; false when
// it stays.
bool EmptySpill(Monitor& m, const fs::path& spill, const fs::path& file) {
    std::error_code error;
    if (!fs::exists(spill, error)) return true;
    std::optional<std::string> bytes = ReadFileBytes(spill);
    if (!bytes) return false;
    // The file gives each record its line end again.
    while (!bytes->empty() && (bytes->back() == '\n' || bytes->back() == '\r')) bytes->pop_back();
    if (!bytes->empty() && !AppendHistoryLine(file, *bytes)) return false;
    SetWritable(spill, true);
    if (!fs::remove(spill, error)) {
        // Written twice is better than lost; the log says where.
        m.ports.Diagnostics.Log("written but not removed: " + PathText(spill));
    }
    return true;
}

// Writes the waiting lines to the file, or, while lines wait in its spill
// file or the file refuses, behind them in the spill file. True when
// everything is in the file.
bool Settle(Monitor& m, const fs::path& file, std::vector<std::string>& kept) {
    const fs::path spill = SpillFilePath(file);
    if (EmptySpill(m, spill, file) && WriteLines(file, kept)) return true;
    WriteLines(spill, kept);
    return false;
}

void Keep(Monitor& m, std::vector<std::string>& kept, std::string line) {
    if (kept.size() < MaxKeptLines) {
        kept.push_back(std::move(line));
        return;
    }
    FileKeeping& files = m.s.files;
    if (files.HistoryLinesLost++ == 0) {
        ShowMessage(m, "履歴を書き込めないまま記録がたまったため、これ以後の記録は保存できません。");
    }
    m.ports.Diagnostics.Log("history line lost: " + line);
}

// What a power cut left of a record after the file's last line end goes to
// a file of its own beside it, so that the history holds whole records only.
// True when the file now ends at a line end, or is empty.
bool SetCutLineAside(const fs::path& file) {
    constexpr std::streamoff Tail = 64 * 1024;
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) return true;
    const std::streamoff size = in.tellg();
    const std::streamoff tail = std::min(size, Tail);
    std::string bytes(static_cast<std::size_t>(tail), '\0');
    in.seekg(size - tail);
    if (size <= 0 || !in.read(bytes.data(), tail)) return size == 0;
    in.close();
    const std::size_t lastEnd = bytes.find_last_of("\r\n");
    if (lastEnd == bytes.size() - 1) return true;
    if (lastEnd == std::string::npos && tail < size) return false;
    const std::size_t start = lastEnd == std::string::npos ? 0 : lastEnd + 1;
    DurableFile side(CutLineFilePath(file), DurableFile::Mode::Append);
    if (!side.Write(bytes.substr(start) + "\r\n") || !side.Sync() || !side.Close()) return false;
    std::error_code error;
    fs::resize_file(file, static_cast<std::uintmax_t>(size - tail + static_cast<std::streamoff>(start)), error);
    return !error;
}

struct Target {
    fs::path File;
    std::vector<std::string>* Kept;
};

std::array<Target, 3> Targets(Monitor& m) {
    FileKeeping& files = m.s.files;
    return {Target{HistoryFilePath(m.s.AppDir), &files.HistoryUnwritten},
            Target{BackupHistoryFilePath(m.s.AppDir), &files.BackupUnwritten},
            Target{ReceivedHistoryFilePath(m.s.AppDir), &files.ReceivedUnwritten}};
}

}  // namespace

fs::path HistoryFilePath(const fs::path& appDir) { return appDir / "log" / "Rmonitor.csv"; }

fs::path BackupHistoryFilePath(const fs::path& appDir) { return appDir / "log" / "RMBackUp.csv"; }

fs::path ReceivedHistoryFilePath(const fs::path& appDir) { return appDir / "log" / "LogBackUp.csv"; }

fs::path SpillFilePath(const fs::path& file) {
    fs::path spill = file;
    return spill.replace_extension(".pending.csv");
}

fs::path CutLineFilePath(const fs::path& file) {
    fs::path side = file;
    return side.replace_extension(".cut.txt");
}

bool AppendHistoryLine(const fs::path& file, std::string_view line) {
    SetWritable(file, true);
    const bool whole = SetCutLineAside(file);
    DurableFile out(file, DurableFile::Mode::Append);
    if (!out.IsOpen()) return false;
    // One write, so a reader never sees the line without its end.
    std::string bytes;
    bytes.reserve(line.size() + 4);
    if (!whole && !out.EndsWithLineEnd()) bytes.append("\r\n");
    bytes.append(line).append("\r\n");
    const bool written = out.Write(bytes) && out.Sync();
    return out.Close() && written;
}

void WriteKeptHistory(Monitor& m) {
    FileKeeping& files = m.s.files;
    std::optional<Target> failed;
    for (const Target& target : Targets(m)) {
        if (!Settle(m, target.File, *target.Kept) && !failed) failed = target;
    }
    if (!failed) {
        files.HistoryFailureTold = false;
        return;
    }
    m.ports.Diagnostics.Log("history line kept, not written: " + PathText(failed->File));
    if (files.HistoryFailureTold) return;
    files.HistoryFailureTold = true;
    const bool spilled = failed->Kept->empty();
    ShowMessage(m, Filled(UnwrittenMessage, failed->File) +
                                (spilled ? Filled(SpilledText, SpillFilePath(failed->File)) : HeldText));
}

void TellKeptHistory(Monitor& m) {
    WriteKeptHistory(m);
    std::string text;
    for (const Target& target : Targets(m)) {
        std::error_code ignored;
        const fs::path spill = SpillFilePath(target.File);
        if (fs::exists(spill, ignored)) {
            text += PathText(target.File) + " に書き込めなかった記録は " + PathText(spill) +
                    " に残しました。次回の起動時に書き込みます。\r";
        }
        if (!target.Kept->empty()) {
            text += PathText(target.File) + " に書き込めなかった記録 " + std::to_string(target.Kept->size()) +
                    " 件は保存できませんでした。\r";
        }
    }
    if (!text.empty()) ShowMessage(m, text);
}

void WriteReceivedHistoryLine(Monitor& m, std::string_view line) {
    std::string kept;
    kept.reserve(line.size());
    // One record per line, whatever the sender put in it.
    for (const char c : line) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) kept += c;
    }
    Keep(m, m.s.files.ReceivedUnwritten, std::move(kept));
    WriteKeptHistory(m);
}

void WriteHistoryRecord(Monitor& m, std::string_view record) {
    const std::string line = Utf8ToCp932(record);
    Keep(m, m.s.files.HistoryUnwritten, line);
    if (BackupRuleHolds(m.s)) Keep(m, m.s.files.BackupUnwritten, line);
    m.s.peers.MasterAtConnect = false;
    WriteKeptHistory(m);
}

}  // namespace rm
