// The launcher items of MainMenu.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Shows the launcher items of the entries that have a title, with the title,
// and the separator below them when there is one.
void RefreshLaunchMenu(Monitor& m);

// Items Launch1..Launch6: start entry 1..6.
Task<> Launch1(Monitor& m);
Task<> Launch2(Monitor& m);
Task<> Launch3(Monitor& m);
Task<> Launch4(Monitor& m);
Task<> Launch5(Monitor& m);
Task<> Launch6(Monitor& m);

}  // namespace rm
