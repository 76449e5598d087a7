// Connection commands of the connect menu.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Reset: return the display to the idle state.
Task<> Reset(Monitor& m);

// Connect: port 1, or ISP1 in multi-account mode.
Task<> ConnectPort1(Monitor& m);
// Connect: port 2, or ISP2 in multi-account mode (through port 1).
Task<> ConnectPort2(Monitor& m);
// Connect with ISP3; multi-account mode only, elsewhere only the display changes.
Task<> ConnectIsp3(Monitor& m);
// Disconnect port 1.
Task<> DisconnectPort1(Monitor& m);
// Disconnect port 2, or the one line in multi-account mode.
Task<> DisconnectPort2(Monitor& m);
// Disconnects the line this copy connected: the one line in multi-account
// direct mode, otherwise the port marked connected (none when 0).
Task<> DisconnectConnectedPort(Monitor& m);
// Copies the connection's own address to the clipboard, when one is known.
void CopyAddress(Monitor& m);

// Closes the setup utility's application and main windows; its settings
// window is left alone.
Task<> CloseUtilityWindows(Monitor& m);
// The setup utility's settings window is open: no connect or disconnect then.
bool UtilitySettingsOpen(Monitor& m);

}  // namespace rm
