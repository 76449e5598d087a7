// The router's syslog: each datagram moves the connection state and leaves
// its line in the viewer and the daily file.
#pragma once

#include <string>
#include <string_view>

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Longest datagram whose phrases are acted on; longer ones are only shown
// and saved (syslog_line.h).
inline constexpr int MaxSyslogBytes = 200;

// One datagram from Endpoint::Syslog: byteCount as the endpoint reported it (-1
// when the read failed), datagram the bytes read, senderAddress its sender (dotted),
// arrived the local time it was taken off the socket. Its line is recorded
// before anything else, so that the files keep the order and times of
// arrival whatever the handling does; that may wait while the router is
// asked for its ISP, programs start or close, or the redial question is up.
Task<> OnSyslogDatagram(Monitor& m, int byteCount, std::string datagram, std::string senderAddress,
                             DateTime arrived);

}  // namespace rm
