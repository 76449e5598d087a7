#include "launcher/launcher_steps.h"

#include "launcher/launch_entry.h"
#include "waits.h"

namespace rm {

Task<> StartOnConnectStep(Monitor& m) {
    if (!m.s.launcher.LaunchPending) co_return;
    m.s.launcher.LaunchPending = false;
    for (int i = 1; i <= 6; ++i) {
        if (IsOn(m.s.launcher.LaunchEntries[i - 1].StartOnConnect)) co_await LaunchEntry(m, i);
    }
}

Task<> CloseOnDisconnectStep(Monitor& m) {
    for (std::size_t i = 0; i < m.s.launcher.LaunchEntries.size(); ++i) {
        const Launcher& launcher = m.s.launcher;
        if (!IsOn(launcher.LaunchEntries[i].CloseOnDisconnect)) continue;
        const WindowHandle window = LaunchWindow(m, i);
        if (window == 0) continue;
        if (!m.ports.Programs.ProcessRunning(launcher.LaunchProcesses[i])) continue;
        // In front, so that a program that asks before it closes is seen asking.
        m.ports.Programs.BringToFront(window);
        co_await CloseWindow(m, window);
    }
}

}  // namespace rm
