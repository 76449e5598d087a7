// Menu commands of the two popup menus.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Performs the click of a menu item, as the user or the program's own rules do.
Task<> MenuClick(Monitor& m, Item item);

void Exit1Click(Monitor& m);
void syslog1Click(Monitor& m);
void RMVClick(Monitor& m);
void help_n1Click(Monitor& m);
void openver_n1Click(Monitor& m);
void N13Click(Monitor& m);

// The user dragged the panel to a new place: store it at once.
void Panel1Dragged(Monitor& m, int left, int top);

}  // namespace rm
