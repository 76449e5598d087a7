// The 2-second tick of the main window.
#pragma once

#include "monitor.h"

namespace rm {

void Timer1Timer(Monitor& m);

}  // namespace rm
