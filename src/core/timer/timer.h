// The 2-second tick of the main window.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Everything that runs by the clock: files kept waiting, the elapsed time on
// the panel, the download watch, the reminder sound, the connect time-out, a
// setup utility left open, and the scheduled connect and disconnect.
Task<> OnTick(Monitor& m);

}  // namespace rm
