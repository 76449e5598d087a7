#include "timer/timer.h"

namespace rm {

// The schedules, the connect time-out and the window watch hang off this tick;
// until they exist it has nothing to do.
void Timer1Timer(Monitor&) {}

}  // namespace rm
