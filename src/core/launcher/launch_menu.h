// The launcher items of PopupMenu2.
#pragma once

#include "monitor.h"

namespace rm {

// Shows the launcher items of the entries that have a title, with the title,
// and the separator below them when there is one.
void RefreshLaunchMenu(Monitor& m);

// Items L11..L61: start entry 1..6.
void L11Click(Monitor& m);
void L21Click(Monitor& m);
void L31Click(Monitor& m);
void L41Click(Monitor& m);
void L51Click(Monitor& m);
void L61Click(Monitor& m);

}  // namespace rm
