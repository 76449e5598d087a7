// The launcher items of PopupMenu2.
#pragma once

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Shows the launcher items of the entries that have a title, with the title,
// and the separator below them when there is one.
void RefreshLaunchMenu(Monitor& m);

// Items L11..L61: start entry 1..6.
Task<> L11Click(Monitor& m);
Task<> L21Click(Monitor& m);
Task<> L31Click(Monitor& m);
Task<> L41Click(Monitor& m);
Task<> L51Click(Monitor& m);
Task<> L61Click(Monitor& m);

}  // namespace rm
