// Whole files and their read-only mark.
#pragma once

#include <filesystem>

namespace rm {

// On Windows the write permission is the inverse of the read-only attribute.
// Silent when the file is missing or the change fails.
void SetWritable(const std::filesystem::path& file, bool writable);

}  // namespace rm
