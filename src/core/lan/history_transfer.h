// Handing the records kept while no master was known to the master copy.
#pragma once

#include <filesystem>

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// What was sent, kept beside the backup: the protocol has no answer, so a
// master that had already gone would otherwise lose it.
std::filesystem::path SentHistoryFilePath(const std::filesystem::path& appDir);

// "履歴ログの送信": sends log\RMBackUp.csv to the master line by line, then
// moves its lines to the sent file.
Task<> SendHistoryLog(Monitor& m);

}  // namespace rm
