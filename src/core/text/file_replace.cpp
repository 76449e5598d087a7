#include "text/file_replace.h"

#include <chrono>
#include <fstream>
#include <system_error>
#include <thread>

#include "text/files.h"

namespace rm {
namespace {

namespace fs = std::filesystem;

// A virus scanner or an editor may hold the old file for a moment.
constexpr int MoveAttempts = 5;
constexpr auto MoveRetryDelay = std::chrono::milliseconds(100);

enum class WriteResult { NotCreated, Failed, Written };

WriteResult WriteNewFile(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return WriteResult::NotCreated;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    out.close();
    return out.fail() ? WriteResult::Failed : WriteResult::Written;
}

bool IsReadOnly(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    return !ec && fs::is_regular_file(status) &&
           (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// rename replaces an existing file on Windows too: libstdc++ moves with
// MoveFileExW there. Windows refuses to replace a read-only file, hence the
// attribute is cleared first.
bool MoveOver(const fs::path& from, const fs::path& to) {
    for (int attempt = 1;; ++attempt) {
        std::error_code ec;
        fs::rename(from, to, ec);
        if (!ec) return true;
        if (attempt == MoveAttempts) return false;
        std::this_thread::sleep_for(MoveRetryDelay);
    }
}

}  // namespace

fs::path ReplacementPath(const fs::path& target) {
    fs::path temp = target;
    temp += ".tmp";
    return temp;
}

bool ReplaceFileContents(const fs::path& target, std::string_view bytes) {
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
    if (MoveOver(temp, target)) return true;
    if (readOnly) SetWritable(target, false);
    fs::remove(temp, ignored);
    return false;
}

}  // namespace rm
