// Saving a positional settings file whole, so that nothing is lost: durable
// on disk, and a file that could not be read is kept as <file>.bak before
// it is first written over.
#pragma once

#include <filesystem>
#include <string_view>

#include "monitor.h"

namespace rm {

// False (after a diagnostic) when the file could not be replaced; it is then
// as it was.
bool SaveWholeFile(Monitor& m, const std::filesystem::path& file, std::string_view bytes, bool& unread);

// <file>.bak
std::filesystem::path KeptCopyPath(const std::filesystem::path& file);
// Copies a file not read whole to <file>.bak and marks it kept; false (after
// a diagnostic) when the copy failed, and it stays marked.
bool KeepUnreadCopy(Monitor& m, const std::filesystem::path& file, bool& unread);

// At start: the settings and launcher files not read whole are kept now, and
// one message says that their settings were reset and where the old files are.
void TellUnreadFiles(Monitor& m);

}  // namespace rm
