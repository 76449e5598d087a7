// The launcher's part in a connection: programs started when the line comes
// up and closed when it goes down.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Run on every connect line: once per connected display, starts the entries
// marked start on connect, entry 1 first.
Task<> StartOnConnectStep(Monitor& m);
// Run on every disconnect line: asks the still running program of each entry
// marked close on disconnect to close, entry 1 first; a program that does not
// answer is given up on after a bounded wait. The records stay as they are.
Task<> CloseOnDisconnectStep(Monitor& m);

}  // namespace rm
