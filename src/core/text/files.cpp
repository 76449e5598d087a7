#include "text/files.h"

#include <system_error>

namespace rm {

void SetWritable(const std::filesystem::path& file, bool writable) {
    std::error_code ignored;
    if (!std::filesystem::exists(file, ignored)) return;
    std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                 writable ? std::filesystem::perm_options::add : std::filesystem::perm_options::remove,
                                 ignored);
}

}  // namespace rm
