#include "syslog/viewer_commands.h"

#include <filesystem>

#include "help.h"
#include "syslog/viewer_lines.h"
#include "text/chars.h"
#include "text/cp932.h"
#include "text/file_replace.h"
#include "text/files.h"
#include "waits.h"

namespace rm {
namespace {

void CopyLines(Monitor& m, std::string_view prefix) {
    // An empty viewer leaves the clipboard as it was.
    if (m.view.Viewer.Lines.empty()) return;
    m.ports.Clipboard.SetText(ViewerLinesText(m.view.Viewer, prefix, LineBytes::Marked));
}

// A dot anywhere in the file's own name counts as an extension, as
// ".profile" or "name." have one for the user too.
bool HasExtension(const std::filesystem::path& file) {
    return file.filename().native().find('.') != std::filesystem::path::string_type::npos;
}

}  // namespace

std::string ViewerLinesText(const SyslogViewerView& viewer, std::string_view prefix, LineBytes bytes) {
    std::string text;
    for (const std::string& line : viewer.Lines) {
        text.append(prefix).append(bytes == LineBytes::Marked ? MarkedText(line) : line).append("\r\n");
    }
    return text;
}

void SwitchSyslogRecording(Monitor& m, bool on) {
    std::string& enabled = m.s.settings.SyslogEnabled;
    const char* wanted = on ? OnText : OffText;
    if (enabled == wanted) return;
    SyslogViewerView& viewer = m.view.Viewer;
    viewer.Exists = on;
    viewer.Shown = false;
    ClearViewerLines(viewer);
    viewer.Font = ViewerFont{};
    enabled = wanted;
    m.view.Menu[Item::syslog1].Visible = on;
}

Task<> ViewerMenuClick(Monitor& m, ViewerItem item) {
    switch (item) {
    case ViewerItem::logcopy: sysloged::logcopyClick(m); break;
    case ViewerItem::N5: sysloged::N5Click(m); break;
    case ViewerItem::N2: co_await sysloged::N2Click(m); break;
    case ViewerItem::Exit1: sysloged::Exit1Click(m); break;
    case ViewerItem::Font2: sysloged::Font2Click(m); break;
    case ViewerItem::N3: sysloged::N3Click(m); break;
    default: break;
    }
}

namespace sysloged {

void logcopyClick(Monitor& m) { CopyLines(m, ""); }

void N5Click(Monitor& m) { CopyLines(m, ">"); }

Task<> N2Click(Monitor& m) {
    auto file = m.ports.Dialogs.AskSaveFileName();
    if (!file) co_return;
    if (!HasExtension(*file)) *file += ".txt";
    if (m.view.Viewer.Lines.empty()) co_return;
    std::error_code ignored;
    if (std::filesystem::exists(*file, ignored)) {
        const bool overwrite = co_await AskYesNo(m, "上書きしますか？", "ファイルが存在します");
        if (!overwrite) co_return;
    }
    // Through a temporary file: a failed save leaves the old file whole. The
    // lines may have changed while the boxes were open; they are taken now.
    const std::string bytes = Utf8ToCp932(ViewerLinesText(m.view.Viewer));
    const auto move = [&m](const std::filesystem::path& from, const std::filesystem::path& to) {
        return m.ports.Files.MoveOver(from, to);
    };
    if (!ReplaceFileContents(*file, bytes, move)) {
        ShowMessage(m, "ファイルに保存できませんでした。\r" + PathText(*file));
    }
}

void Exit1Click(Monitor& m) { m.view.Viewer.Shown = false; }

void Font2Click(Monitor& m) {
    if (const auto font = m.ports.Dialogs.AskFont(m.view.Viewer.Font)) m.view.Viewer.Font = *font;
}

void N3Click(Monitor& m) { ShowHelp(m); }

}  // namespace sysloged
}  // namespace rm
