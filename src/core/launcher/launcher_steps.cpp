#include "launcher/launcher_steps.h"

namespace rm {

// Starting the marked entries needs the launcher runtime, which does not
// exist yet; so far the step only marks the connection's start as done.
void StartOnConnectStep(Monitor& m) { m.s.launcher.LaunchPending = false; }

void CloseOnDisconnectStep(Monitor& m) {
    for (std::size_t i = 0; i < m.s.launcher.LaunchEntries.size(); ++i) {
        const WindowHandle window = m.s.launcher.LaunchWindows[i];
        if (IsOn(m.s.launcher.LaunchEntries[i].CloseOnDisconnect) && window != 0) m.ports.OtherWindows.CloseWindow(window);
    }
}

}  // namespace rm
