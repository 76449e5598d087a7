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
    m.view.Menu[Item::ShowSyslog].Visible = on;
}

Task<> ViewerMenuClick(Monitor& m, ViewerItem item) {
    switch (item) {
    case ViewerItem::CopyLog: CopyViewerLog(m); break;
    case ViewerItem::CopyLogQuoted: CopyViewerLogQuoted(m); break;
    case ViewerItem::SaveLog: co_await SaveViewerLog(m); break;
    case ViewerItem::Close: CloseViewer(m); break;
    case ViewerItem::ChangeFont: ChangeViewerFont(m); break;
    case ViewerItem::Help: ShowViewerHelp(m); break;
    default: break;
    }
}

void CopyViewerLog(Monitor& m) { CopyLines(m, ""); }

void CopyViewerLogQuoted(Monitor& m) { CopyLines(m, ">"); }

Task<> SaveViewerLog(Monitor& m) {
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

void CloseViewer(Monitor& m) { m.view.Viewer.Shown = false; }

void ChangeViewerFont(Monitor& m) {
    if (const auto font = m.ports.Dialogs.AskFont(m.view.Viewer.Font)) m.view.Viewer.Font = *font;
}

void ShowViewerHelp(Monitor& m) { ShowHelp(m); }

}  // namespace rm
