// Menu commands of the two popup menus.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Performs the click of a menu item, as the user or the program's own rules do.
Task<> MenuClick(Monitor& m, Item item);

void Exit(Monitor& m);
void ShowSyslog(Monitor& m);
void ShowHistoryGraph(Monitor& m);
void OpenHelp(Monitor& m);
void ShowVersion(Monitor& m);
void HiddenTest(Monitor& m);

// The user dragged the panel to a new place: store it at once.
void PanelDragged(Monitor& m, int left, int top);

}  // namespace rm
