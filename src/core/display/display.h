// What the panel, the tray icon and the menus show for the connection state.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// The line is up: show the panel with the connected state.
Task<> ShowConnected(Monitor& m);
// The line is down or was reset: hide the panel and return to the idle state.
void ShowIdle(Monitor& m);
// Hands the Dial-Up Watcher's control program a connection name, or "stop".
void TellDialUpWatcher(Monitor& m, const std::string& parameters);
// Closes the Dial-Up Watcher this program started, and forgets it started it.
Task<> CloseDialUpWatcher(Monitor& m);
// Arms or disarms the download watch (Item::DisconnectAfterDownload): the panel is red exactly while
// it is armed, and a disarmed watch forgets what the terminal last showed.
void ArmDownloadWatch(Monitor& m, bool armed);

}  // namespace rm
