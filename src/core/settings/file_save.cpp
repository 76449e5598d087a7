#include "settings/file_save.h"

#include <system_error>

#include "text/file_replace.h"
#include "text/files.h"

namespace rm {

std::filesystem::path KeptCopyPath(const std::filesystem::path& file) {
    std::filesystem::path copy = file;
    copy += ".bak";
    return copy;
}

bool SaveWholeFile(Monitor& m, const std::filesystem::path& file, std::string_view bytes, bool& unread) {
    if (unread) {
        std::error_code ec;
        std::filesystem::copy_file(file, KeptCopyPath(file), std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            // Writing over it would lose the user's settings for good.
            m.ports.Diagnostics.Log("not kept as .bak, so not written over: " + PathText(file) + ": " + ec.message());
            return false;
        }
        unread = false;
    }
    const bool replaced = ReplaceFileContents(file, bytes, [&m](const auto& from, const auto& to) {
        return m.ports.Files.MoveOver(from, to);
    });
    if (!replaced) m.ports.Diagnostics.Log("not replaced: " + PathText(file));
    return replaced;
}

}  // namespace rm
