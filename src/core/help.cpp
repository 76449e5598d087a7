#include "help.h"

#include <system_error>

namespace rm {

namespace {

// WinHelp left Windows with Vista and came back by a download up to 8.1;
// from Windows 10 on winhlp32.exe only says that it is not there.
bool WinHelpThere(const WindowsVersion& version) { return version.Major < 10; }

}  // namespace

void ShowHelp(Monitor& m) {
    const std::filesystem::path helpFile = m.s.AppDir / "RMonitor.hlp";
    std::error_code ignored;
    if (WinHelpThere(m.ports.Programs.SystemVersion()) && std::filesystem::exists(helpFile, ignored) &&
        m.ports.Programs.OpenHelp(helpFile)) {
        return;
    }
    m.ports.Programs.OpenHelpPage();
}

}  // namespace rm
