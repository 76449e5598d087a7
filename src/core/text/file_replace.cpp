#include "text/file_replace.h"

#include <chrono>
#include <system_error>
#include <thread>

#include "text/durable_file.h"
#include "text/files.h"

namespace rm {
namespace {

namespace fs = std::filesystem;

// A virus scanner or an editor may hold the old file for a moment.
constexpr int MoveAttempts = 5;
constexpr auto MoveRetryDelay = std::chrono::milliseconds(100);

enum class WriteResult { NotCreated, Failed, Written };

WriteResult WriteNewFile(const fs::path& file, std::string_view bytes) {
    DurableFile out(file, DurableFile::Mode::Create);
    if (!out.IsOpen()) return WriteResult::NotCreated;
    const bool written = out.Write(bytes) && out.Sync();
    return out.Close() && written ? WriteResult::Written : WriteResult::Failed;
}

bool IsReadOnly(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    return !ec && fs::is_regular_file(status) &&
           (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// Windows refuses to replace a read-only file, hence the attribute is
// cleared first.
bool MoveOver(const fs::path& from, const fs::path& to, const FileMover& move) {
    for (int attempt = 1;; ++attempt) {
        if (move(from, to)) return true;
        if (attempt == MoveAttempts) return false;
        std::this_thread::sleep_for(MoveRetryDelay);
    }
}

}  // namespace

bool RenameOver(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return !ec;
}

fs::path ReplacementPath(const fs::path& target) {
    fs::path temp = target;
    temp += ".tmp";
    return temp;
}

bool ReplaceFileContents(const fs::path& target, std::string_view bytes, const FileMover& move) {
    const fs::path temp = ReplacementPath(target);
    std::error_code ignored;
    switch (WriteNewFile(temp, bytes)) {
        case WriteResult::NotCreated:
            return false;
        case WriteResult::Failed:
            fs::remove(temp, ignored);
            return false;
        case WriteResult::Written:
            break;
    }
    const bool readOnly = IsReadOnly(target);
    if (readOnly) SetWritable(target, true);
    if (MoveOver(temp, target, move)) return true;
    if (readOnly) SetWritable(target, false);
    fs::remove(temp, ignored);
    return false;
}

}  // namespace rm
