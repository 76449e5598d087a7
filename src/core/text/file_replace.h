// Whole-file rewrites: the new bytes go to a temporary file beside the old
// one, which then takes its place, so a failed save never leaves half a file.
#pragma once

#include <filesystem>
#include <string_view>

namespace rm {

// The temporary file that a rewrite of target goes through.
std::filesystem::path ReplacementPath(const std::filesystem::path& target);

// Replaces target (a read-only one too) with bytes. False when that failed;
// target is then as it was.
bool ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes);

}  // namespace rm
