// Whole files and their read-only mark.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace rm {

// A path as UTF-8 text, for messages and the diagnostic log.
std::string PathText(const std::filesystem::path& file);
// The path that UTF-8 text names.
std::filesystem::path PathOf(const std::string& text);

// The whole file; nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);

// On Windows the write permission is the inverse of the read-only attribute.
// Silent when the file is missing or the change fails.
void SetWritable(const std::filesystem::path& file, bool writable);

}  // namespace rm
