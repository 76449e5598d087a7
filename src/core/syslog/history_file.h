// The connection history files in the log folder: one CSV line per
// completed connection.
#pragma once

#include <filesystem>
#include <string_view>

#include "monitor.h"

namespace rm {

// Every completed connection seen by this copy.
std::filesystem::path HistoryFilePath(const std::filesystem::path& appDir);
// The same records while no master copy is known, kept for the master.
std::filesystem::path BackupHistoryFilePath(const std::filesystem::path& appDir);

// Appends the bytes of line and CR LF to file, creating it when missing; a read-only file
// is made writable first. Throws std::runtime_error naming the file when it
// cannot be opened or written.
void AppendHistoryLine(const std::filesystem::path& file, std::string_view line);

// Writes a finished record to the history file and, when neither now nor at
// connect time a master was known and this copy is not the master, to the
// backup file; then forgets the master seen at connect time.
void WriteHistoryRecord(Monitor& m, std::string_view record);

}  // namespace rm
