// Help: the WinHelp file beside the program where Windows still shows it,
// otherwise the page the program carries.
#pragma once

#include "monitor.h"

namespace rm {

void ShowHelp(Monitor& m);

}  // namespace rm
