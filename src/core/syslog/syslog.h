// The router's syslog: each datagram moves the connection state and leaves
// its line in the viewer and the daily file.
#pragma once

#include <string>
#include <string_view>

#include "monitor.h"

namespace rm {

// Longest datagram whose phrases are acted on; longer ones are only shown
// and saved (syslog_line.h).
inline constexpr int MaxSyslogBytes = 200;

// One datagram from SYSLOGUDP: NumberBytes as the endpoint reported it (-1
// when the read failed), datagram the bytes read, FromIP its sender (dotted),
// arrived the local time it was taken off the socket. Its line is recorded before anything else, so
// that the files keep the order and times of arrival whatever the handling
// does; that may run other events while the router is asked for its ISP or
// the redial question is open.
void SYSLOGUDPDataReceived(Monitor& m, int NumberBytes, std::string_view datagram, const std::string& FromIP,
                           DateTime arrived);

}  // namespace rm
