#include "settings/settings_file.h"

#include <system_error>
#include <vector>

#include "launcher/launch_menu.h"
#include "settings/launcher_file.h"
#include "text/positional_text.h"
#include "syslog/syslog_file.h"
#include "settings/file_save.h"
#include "text/files.h"
#include "waits.h"

namespace rm {
namespace {

constexpr const char* SettingsHeader = "Routavista Monitor Ver";
constexpr int SettingsHeaderLength = 22;
constexpr std::size_t SettingsLineCount = 1 + 2 * SettingPairCount;
constexpr std::size_t WholeOlderLineCount = 1 + 2 * (FirstAddedPair - 1);
constexpr const char* SaveFailedMessage = "基本設定ファイルの保存に失敗しました。";

// The value line of a pair 1..SettingPairCount.
const std::string& ValueOf(const std::vector<std::string>& lines, int pair) {
    return lines[2 * static_cast<std::size_t>(pair)];
}

bool Apply(StoredSettings to, const std::vector<std::string>& lines, int pair) {
    return SettingsTable[static_cast<std::size_t>(pair - 1)].Read(to, ValueOf(lines, pair));
}

}  // namespace

SettingsRead ApplySettingsText(StoredSettings to, std::string_view bytes) {
    const std::vector<std::string> lines = LinesOf(bytes, SettingsLineCount);
    const auto version = HeaderVersion(lines[0], SettingsHeaderLength);
    if (!version || *version < 1.0) return SettingsRead::Defaults;
    for (const int pair : MainPairReadOrder) {
        if (!Apply(to, lines, pair)) return SettingsRead::Stopped;
    }
    if (*version >= 2.01) {
        for (int pair = FirstNamePair; pair <= LastNamePair; ++pair) Apply(to, lines, pair);
    }
    for (int pair = FirstAddedPair; pair <= SettingPairCount; ++pair) Apply(to, lines, pair);
    return SettingsRead::Complete;
}

void ApplyTrayMenus(const Settings& s, TrayView& tray) {
    tray.LeftButton = s.TraySwap ? PopupMenu::MainMenu : PopupMenu::ConnectMenu;
    tray.RightButton = s.TraySwap ? PopupMenu::ConnectMenu : PopupMenu::MainMenu;
}

SettingsRead ReadSettingsFile(Monitor& m) {
    const auto file = m.s.AppDir / SettingsFileName;
    const auto bytes = ReadFileBytes(file);
    std::error_code ignored;
    if (!bytes) {
        m.s.files.SettingsUnread = std::filesystem::exists(file, ignored);
        return SettingsRead::Defaults;
    }
    const SettingsRead result = ApplySettingsText({m.s.settings, m.s.panel}, *bytes);
    m.s.files.SettingsUnread = result != SettingsRead::Complete || LineCount(*bytes) < WholeOlderLineCount;
    ApplyTrayMenus(m.s.settings, m.view.Tray);
    if (result == SettingsRead::Complete) m.s.redial.RedialLeft = m.s.settings.RedialCount;
    return result;
}

std::string SettingsFileText(ConstStoredSettings from, const std::string& versionText) {
    std::vector<std::string> lines;
    lines.reserve(SettingsLineCount);
    lines.push_back(SettingsHeader + versionText);
    for (const SettingRow& row : SettingsTable) {
        lines.push_back(row.Label);
        lines.push_back(row.Write(from));
    }
    return FileTextOf(lines);
}

void WriteSettingsFile(Monitor& m) {
    if (!SaveWholeFile(m, m.s.AppDir / SettingsFileName, SettingsFileText({m.s.settings, m.s.panel}, m.s.VersionText),
                       m.s.files.SettingsUnread)) {
        ShowMessage(m, SaveFailedMessage);
    }
}

void SaveAllSettings(Monitor& m) {
    if (!m.s.settings.SyslogAutoSave) CloseSyslog(m);
    WriteSettingsFile(m);
    WriteLauncherFile(m);
    RefreshLaunchMenu(m);
}

}  // namespace rm
