#include "settings/file_save.h"

#include <system_error>

#include "settings/launcher_file.h"
#include "settings/settings_file.h"
#include "text/file_replace.h"
#include "text/files.h"
#include "waits.h"

namespace rm {
namespace {

// One paragraph of the start notice for a file that was not read whole.
std::string UnreadParagraph(Monitor& m, const char* what, const std::filesystem::path& file, bool& unread) {
    const std::string head =
        std::string(what) + "を最後まで読み込めなかったため、読み込めなかった設定は初期値になっています。\r";
    if (KeepUnreadCopy(m, file, unread)) {
        return head + "元のファイルは次の場所に残してあります。\r" + PathText(KeptCopyPath(file));
    }
    return head + "元のファイルは次の場所にあります。上書きする前に .bak を付けた名前で残します。\r" + PathText(file);
}

}  // namespace

std::filesystem::path KeptCopyPath(const std::filesystem::path& file) {
    std::filesystem::path copy = file;
    copy += ".bak";
    return copy;
}

bool KeepUnreadCopy(Monitor& m, const std::filesystem::path& file, bool& unread) {
    if (!unread) return true;
    std::error_code ec;
    std::filesystem::copy_file(file, KeptCopyPath(file), std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        m.ports.Diagnostics.Log("not kept as .bak: " + PathText(file) + ": " + ec.message());
        return false;
    }
    unread = false;
    return true;
}

bool SaveWholeFile(Monitor& m, const std::filesystem::path& file, std::string_view bytes, bool& unread) {
    // Writing over it would lose the user's settings for good.
    if (!KeepUnreadCopy(m, file, unread)) return false;
    const bool replaced = ReplaceFileContents(file, bytes, [&m](const auto& from, const auto& to) {
        return m.ports.Files.MoveOver(from, to);
    });
    if (!replaced) m.ports.Diagnostics.Log("not replaced: " + PathText(file));
    return replaced;
}

void TellUnreadFiles(Monitor& m) {
    FileKeeping& files = m.s.files;
    std::string text;
    if (files.SettingsUnread) {
        text = UnreadParagraph(m, "基本設定ファイル", m.s.AppDir / SettingsFileName, files.SettingsUnread);
    }
    if (files.LauncherUnread) {
        if (!text.empty()) text += "\r\r";
        text += UnreadParagraph(m, "ランチャー設定ファイル", m.s.AppDir / LauncherFileName, files.LauncherUnread);
    }
    if (!text.empty()) ShowMessage(m, text);
}

}  // namespace rm
