// The launcher's part in a connection: programs started when the line comes
// up and closed when it goes down.
#pragma once

#include "monitor.h"

namespace rm {

// Run on every connect line: consumes LaunchPending of this connection.
void StartOnConnectStep(Monitor& m);
// Run on every disconnect line: closes the window of each entry marked close
// on disconnect, entry 1 first; the handles stay as they are.
void CloseOnDisconnectStep(Monitor& m);

}  // namespace rm
