#include "timer/timer.h"

#include "syslog/history_file.h"
#include "syslog/syslog_file.h"

namespace rm {

void Timer1Timer(Monitor& m) {
    if (!m.s.files.HistoryUnwritten.empty() || !m.s.files.BackupUnwritten.empty()) WriteKeptHistory(m);
    // A quiet tick closes the daily file, so it is not held open for nothing.
    if (m.syslogFile.TakeActivity()) {
        FlushSyslog(m);
    } else {
        CloseSyslog(m);
    }
}

}  // namespace rm
