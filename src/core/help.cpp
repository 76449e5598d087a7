#include "help.h"

#include <system_error>

namespace rm {

void ShowHelp(Monitor& m) {
    const std::filesystem::path helpFile = m.s.AppDir / "RMonitor.hlp";
    std::error_code ignored;
    if (std::filesystem::exists(helpFile, ignored) && m.ports.Programs.NestingOpenHelp(helpFile)) return;
    m.ports.Programs.NestingOpenHelpPage();
}

}  // namespace rm
