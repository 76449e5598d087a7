#include "syslog/history_file.h"

#include <fstream>
#include <stdexcept>
#include <string>

#include "text/cp932.h"
#include "text/files.h"

namespace rm {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const char* what, const fs::path& file) {
    throw std::runtime_error(std::string(what) + PathText(file));
}

bool BackupRuleHolds(const MainState& s) {
    return !s.settings.MasterMode && s.peers.MasterAddress.empty() && !s.peers.MasterAtConnect;
}

}  // namespace

fs::path HistoryFilePath(const fs::path& appDir) { return appDir / "log" / "Rmonitor.csv"; }

fs::path BackupHistoryFilePath(const fs::path& appDir) { return appDir / "log" / "RMBackUp.csv"; }

void AppendHistoryLine(const fs::path& file, std::string_view line) {
    SetWritable(file, true);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out.is_open()) Fail("履歴ファイルを開けません: ", file);
    // One write, so a reader never sees the line without its end.
    std::string bytes;
    bytes.reserve(line.size() + 2);
    bytes.append(line).append("\r\n");
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out.fail()) Fail("履歴ファイルに書き込めません: ", file);
}

void WriteHistoryRecord(Monitor& m, std::string_view record) {
    const std::string line = Utf8ToCp932(record);
    AppendHistoryLine(HistoryFilePath(m.s.AppDir), line);
    if (BackupRuleHolds(m.s)) AppendHistoryLine(BackupHistoryFilePath(m.s.AppDir), line);
    m.s.peers.MasterAtConnect = false;
}

}  // namespace rm
