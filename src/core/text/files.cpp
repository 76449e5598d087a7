#include "text/files.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace rm {

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) return std::nullopt;
    try {
        std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (in.bad()) return std::nullopt;
        return bytes;
    } catch (const std::ios_base::failure&) {
        // libstdc++ reports a read error (a folder of that name) this way.
        return std::nullopt;
    }
}

std::string PathText(const std::filesystem::path& file) {
    const std::u8string name = file.u8string();
    return std::string(name.begin(), name.end());
}

std::filesystem::path PathOf(const std::string& text) { return std::u8string(text.begin(), text.end()); }

void SetWritable(const std::filesystem::path& file, bool writable) {
    std::error_code ignored;
    if (!std::filesystem::exists(file, ignored)) return;
    std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                 writable ? std::filesystem::perm_options::add : std::filesystem::perm_options::remove,
                                 ignored);
}

}  // namespace rm
