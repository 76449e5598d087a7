#include "syslog/syslog_file.h"

#include "text/files.h"

namespace rm {

std::filesystem::path SyslogFilePath(const std::filesystem::path& appDir, DateTime when) {
    return appDir / "syslog" / (DateText(DecodeDateTime(when)) + ".log");
}

void SaveSyslog(Monitor& m, std::string_view line, DateTime arrived) {
    m.syslogFile.Add(SyslogFilePath(m.s.AppDir, arrived), line, m.ports.Clock.MonotonicMilliseconds());
}

void FlushSyslog(Monitor& m) {
    if (!m.syslogFile.Flush()) m.ports.Diagnostics.Log("syslog lines not written: " + PathText(m.syslogFile.Path()));
}

void CloseSyslog(Monitor& m) {
    if (!m.syslogFile.Close()) m.ports.Diagnostics.Log("syslog lines not written: " + PathText(m.syslogFile.Path()));
}

}  // namespace rm
