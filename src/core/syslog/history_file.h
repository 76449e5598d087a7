// The connection history files in the log folder: one CSV line per
// completed connection. Nothing is lost: a line that the file does not take
// (folder missing, disk full, file held open by a spreadsheet) goes to a
// spill file beside it (Rmonitor.pending.csv), or stays in memory when that
// too is refused, and is written to the file later, in order, also after a
// restart.
#pragma once

#include <filesystem>
#include <string_view>

#include "monitor.h"

namespace rm {

// Every completed connection seen by this copy.
std::filesystem::path HistoryFilePath(const std::filesystem::path& appDir);
// The same records while no master copy is known, kept for the master.
std::filesystem::path BackupHistoryFilePath(const std::filesystem::path& appDir);
// On the master: the records the other copies sent it.
std::filesystem::path ReceivedHistoryFilePath(const std::filesystem::path& appDir);

// Where the part of a record that a power cut left at a file's end is put.
std::filesystem::path CutLineFilePath(const std::filesystem::path& file);

// Appends the bytes of line and CR LF to file, creating it when missing; a
// read-only file is made writable first, and the part of a record cut at its
// end goes to the cut-line file first, so the record stands on a line of its
// own among whole ones. The bytes reach the disk before it returns true.
bool AppendHistoryLine(const std::filesystem::path& file, std::string_view line);

// Writes a finished record to the history file and, when neither now nor at
// connect time a master was known and this copy is not the master, to the
// backup file; then forgets the master seen at connect time. A line a file
// does not take is kept for WriteKeptHistory; the user is told once per
// failure, and again only after a success.
void WriteHistoryRecord(Monitor& m, std::string_view record);
// On the master: writes a line another copy sent (Shift-JIS) to the received
// records, without the control bytes that would break it into several.
void WriteReceivedHistoryLine(Monitor& m, std::string_view line);
// Where the lines wait that the file did not take.
std::filesystem::path SpillFilePath(const std::filesystem::path& file);
// At most this many lines wait in memory per file; more are lost, and said so.
inline constexpr std::size_t MaxKeptLines = 10'000;

// Writes the waiting lines, oldest first, as far as the files take them.
void WriteKeptHistory(Monitor& m);
// At exit: tells the user which records still wait, and where.
void TellKeptHistory(Monitor& m);

}  // namespace rm
