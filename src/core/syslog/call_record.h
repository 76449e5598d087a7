// The history record of the current call. It is on disk from its connect
// line on (log\Rmonitor.open.csv), so that an exit, a crash or a power cut
// during a call loses nothing: the next start takes it up and the call's
// disconnect line completes it. Rmonitor.csv itself only ever gets whole
// records, which is what spreadsheets and RMView read.
#pragma once

#include <filesystem>
#include <string>

#include "monitor.h"

namespace rm {

std::filesystem::path OpenCallFilePath(const std::filesystem::path& appDir);

// The connect line: the record takes its connect time and goes on disk.
void RecordConnect(Monitor& m, const std::string& stamp);
// The disconnect line: the record takes its end time and is written.
void FinishRecord(Monitor& m, const std::string& stamp);

// At start: takes up the record of a call that was up when the program
// last ended.
void RestoreOpenCall(Monitor& m);
// A new call begins while the taken-up one was never seen to end: it is
// written with the last time it was known to be up.
void EndUnseenCall(Monitor& m);
// Notes that the call is still up: now and then on the tick, and at exit.
void KeepOpenCall(Monitor& m, bool now);

}  // namespace rm
