// What the panel, the tray icon and the menus show for the connection state.
#pragma once

#include "monitor.h"

namespace rm {

// The line is up: show the panel with the connected state.
void ShowConnected(Monitor& m);
// The line is down or was reset: hide the panel and return to the idle state.
void ShowIdle(Monitor& m);
// Forgets that this program started the Dial-Up Watcher.
void CloseDialUpWatcher(Monitor& m);

}  // namespace rm
