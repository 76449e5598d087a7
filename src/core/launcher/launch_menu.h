// The launcher items of PopupMenu2.
#pragma once

#include "monitor.h"

namespace rm {

// Shows the launcher items of the entries that have a title, with the title.
void RefreshLaunchMenu(Monitor& m);

}  // namespace rm
