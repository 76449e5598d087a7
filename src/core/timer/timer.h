// The 2-second tick of the main window.
#pragma once

#include "monitor.h"

namespace rm {

// Writes history lines kept from a failed write, and writes out or closes
// the daily syslog file.
void Timer1Timer(Monitor& m);

}  // namespace rm
