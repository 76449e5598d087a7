// Whole-file rewrites: the new bytes go to a temporary file beside the old
// one, are flushed to disk, and the file then takes the old one's place, so
// neither a failed save nor a power cut leaves half a file.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace rm {

// The temporary file that a rewrite of target goes through.
std::filesystem::path ReplacementPath(const std::filesystem::path& target);

// Moves a file over another, replacing it; false when that failed.
using FileMover = std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to)>;
// std::filesystem::rename, which on Windows replaces without write-through.
bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Replaces target (a read-only one too) with bytes. False when that failed;
// target is then as it was.
bool ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                         const FileMover& move = RenameOver);

}  // namespace rm
