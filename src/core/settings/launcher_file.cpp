#include "settings/launcher_file.h"

#include <array>
#include <vector>

#include "settings/positional_text.h"
#include "text/file_replace.h"
#include "text/chars.h"
#include "text/files.h"

namespace rm {
namespace {

constexpr const char* LauncherHeader = "RouLaunch Ver";
constexpr int LauncherHeaderLength = 13;
constexpr const char* LauncherMark = "RouLaunch";
constexpr int LauncherMarkLength = 9;
constexpr std::size_t LauncherLineCount = 37;
// Files up to this version have no CloseOnDisconnect line.
constexpr double LastFiveFieldVersion = 2.02;

constexpr const char* DamagedMessage = "ランチャーの設定ファイルが異常です";
constexpr const char* SaveFailedMessage = "ランチャー設定ファイルの保存に失敗しました。";

// The file order of an entry's texts.
constexpr std::array<std::string LaunchEntry::*, 6> EntryFields{
    &LaunchEntry::Title,      &LaunchEntry::ProgramFile,    &LaunchEntry::Arguments,
    &LaunchEntry::WorkFolder, &LaunchEntry::StartOnConnect, &LaunchEntry::CloseOnDisconnect,
};

}  // namespace

bool ApplyLauncherText(LaunchEntries& entries, std::string_view bytes) {
    const std::vector<std::string> lines = LinesOf(bytes, LauncherLineCount);
    if (tleft(lines[0], LauncherMarkLength) != LauncherMark) return true;
    const auto version = HeaderVersion(lines[0], LauncherHeaderLength);
    if (!version) return false;
    const std::size_t fieldCount = *version <= LastFiveFieldVersion ? 5 : 6;
    std::size_t line = 1;
    for (LaunchEntry& entry : entries) {
        for (std::size_t k = 0; k < fieldCount; ++k) entry.*EntryFields[k] = lines[line++];
        if (fieldCount == 5) entry.CloseOnDisconnect = OffText;
    }
    return true;
}

void ReadLauncherFile(Monitor& m) {
    const auto bytes = ReadFileBytes(m.s.AppDir / LauncherFileName);
    if (bytes && !ApplyLauncherText(m.s.launcher.LaunchEntries, *bytes)) m.ports.Dialogs.ShowMessage(DamagedMessage);
}

std::string LauncherFileText(const LaunchEntries& entries, const std::string& versionText) {
    std::vector<std::string> lines;
    lines.reserve(LauncherLineCount);
    lines.push_back(LauncherHeader + versionText);
    for (const LaunchEntry& entry : entries) {
        for (const auto field : EntryFields) lines.push_back(entry.*field);
    }
    return FileTextOf(lines);
}

void WriteLauncherFile(Monitor& m) {
    const auto file = m.s.AppDir / LauncherFileName;
    if (!ReplaceFileContents(file, LauncherFileText(m.s.launcher.LaunchEntries, m.s.VersionText))) {
        m.ports.Diagnostics.Log("launcher file not replaced: " + PathText(file));
        m.ports.Dialogs.ShowMessage(SaveFailedMessage);
    }
}

}  // namespace rm
