#include "monitor/syslog_file.h"

#include <fstream>

#include "text/datetime.h"

namespace rm {

std::filesystem::path SyslogFilePath(const std::filesystem::path& appDir, DateTime when) {
    const CivilTime t = DecodeDateTime(when);
    std::string name = "00000000.log";
    int digits = t.Year * 10000 + t.Month * 100 + t.Day;
    for (int i = 7; i >= 0; --i, digits /= 10) name[i] = static_cast<char>('0' + digits % 10);
    return appDir / "syslog" / name;
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
