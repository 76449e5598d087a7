#include "syslog/syslog_file.h"

#include <fstream>

#include "text/datetime.h"

namespace rm {

std::filesystem::path SyslogFilePath(const std::filesystem::path& appDir, DateTime when) {
    return appDir / "syslog" / (DateText(DecodeDateTime(when)) + ".log");
}

bool SaveSyslog(Monitor& m, std::string_view line) {
    std::ofstream out(SyslogFilePath(m.s.AppDir, m.ports.Clock.Now()), std::ios::binary | std::ios::app);
    if (!out.is_open()) return false;
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.write("\r\n", 2);
    out.close();
    return !out.fail();
}

}  // namespace rm
