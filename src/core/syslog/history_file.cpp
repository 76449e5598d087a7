#include "syslog/history_file.h"

#include <array>
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
        m.ports.Dialogs.ShowMessage("履歴を書き込めないまま記録がたまったため、これ以後の記録は保存できません。");
    }
    m.ports.Diagnostics.Log("history line lost: " + line);
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
    m.ports.Dialogs.ShowMessage(Filled(UnwrittenMessage, failed->File) +
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
    if (!text.empty()) m.ports.Dialogs.ShowMessage(text);
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
