#include "syslog/syslog_file.h"

#include "text/files.h"

namespace rm {

std::filesystem::path SyslogFilePath(const std::filesystem::path& appDir, DateTime when) {
    return appDir / "syslog" / (DateText(DecodeDateTime(when)) + ".log");
}

namespace {

// Silent for the user, as the daily files are a convenience; the log says
// what waits and what went.
void Report(Monitor& m, bool written) {
    if (!written) m.ports.Diagnostics.Log("syslog lines not written yet: " + PathText(m.syslogFile.Path()));
    if (const std::size_t dropped = m.syslogFile.TakeDropped()) {
        m.ports.Diagnostics.Log("syslog bytes lost, refused too long: " + std::to_string(dropped));
    }
}

}  // namespace

void SaveSyslog(Monitor& m, std::string_view line, DateTime arrived) {
    Report(m, m.syslogFile.Add(SyslogFilePath(m.s.AppDir, arrived), line, m.ports.Clock.MonotonicMilliseconds()));
}

void FlushSyslog(Monitor& m) { Report(m, m.syslogFile.Flush()); }

void CloseSyslog(Monitor& m) { Report(m, m.syslogFile.Close()); }

}  // namespace rm
