#include "settings/launcher_file.h"

#include <array>
#include <optional>
#include <system_error>
#include <vector>

#include "text/positional_text.h"
#include "settings/file_save.h"
#include "text/chars.h"
#include "text/files.h"
#include "waits.h"

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
constexpr std::array<std::string LaunchEntryTexts::*, 6> EntryFields{
    &LaunchEntryTexts::Title,      &LaunchEntryTexts::ProgramFile,    &LaunchEntryTexts::Arguments,
    &LaunchEntryTexts::WorkFolder, &LaunchEntryTexts::StartOnConnect, &LaunchEntryTexts::CloseOnDisconnect,
};

// Fields per entry by the header's version; nothing for a foreign header or
// a version that is not a number.
std::optional<std::size_t> FieldCount(const std::string& header, bool& foreign) {
    foreign = tleft(header, LauncherMarkLength) != LauncherMark;
    if (foreign) return std::nullopt;
    const auto version = HeaderVersion(header, LauncherHeaderLength);
    if (!version) return std::nullopt;
    return *version <= LastFiveFieldVersion ? 5 : 6;
}

}  // namespace

bool ApplyLauncherText(LaunchEntries& entries, std::string_view bytes) {
    const std::vector<std::string> lines = LinesOf(bytes, LauncherLineCount);
    bool foreign = false;
    const auto fields = FieldCount(lines[0], foreign);
    if (!fields) return foreign;
    const std::size_t fieldCount = *fields;
    std::size_t line = 1;
    for (LaunchEntryTexts& entry : entries) {
        for (std::size_t k = 0; k < fieldCount; ++k) entry.*EntryFields[k] = lines[line++];
        if (fieldCount == 5) entry.CloseOnDisconnect = OffText;
    }
    return true;
}

bool LauncherTextComplete(std::string_view bytes) {
    bool foreign = false;
    const auto fields = FieldCount(LinesOf(bytes, 1)[0], foreign);
    return fields && LineCount(bytes) >= 1 + LaunchEntries{}.size() * *fields;
}

void ReadLauncherFile(Monitor& m) {
    const auto file = m.s.AppDir / LauncherFileName;
    const auto bytes = ReadFileBytes(file);
    std::error_code ignored;
    m.s.files.LauncherUnread = bytes ? !LauncherTextComplete(*bytes) : std::filesystem::exists(file, ignored);
    if (bytes && !ApplyLauncherText(m.s.launcher.LaunchEntries, *bytes)) {
        ShowMessage(m, DamagedMessage);
    }
}

std::string LauncherFileText(const LaunchEntries& entries, const std::string& versionText) {
    std::vector<std::string> lines;
    lines.reserve(LauncherLineCount);
    lines.push_back(LauncherHeader + versionText);
    for (const LaunchEntryTexts& entry : entries) {
        for (const auto field : EntryFields) lines.push_back(entry.*field);
    }
    return FileTextOf(lines);
}

void WriteLauncherFile(Monitor& m) {
    if (!SaveWholeFile(m, m.s.AppDir / LauncherFileName, LauncherFileText(m.s.launcher.LaunchEntries, m.s.VersionText),
                       m.s.files.LauncherUnread)) {
        ShowMessage(m, SaveFailedMessage);
    }
}

}  // namespace rm
