// Who may send: with RouterSendersOnly on, syslog is taken only from the
// router's address and peer texts only from a host of the router's subnet,
// the one the copies broadcast to. A refused datagram leaves nothing but a
// count, told in the diagnostic log at most once a minute per endpoint.
#pragma once

#include <string>

#include "monitor.h"

namespace rm {

inline constexpr std::int64_t RefusedTellInterval = 60'000;

// False when the datagram from (dotted) is to be dropped unseen.
bool SyslogSenderTaken(Monitor& m, const std::string& from);
bool PeerSenderTaken(Monitor& m, const std::string& from);

}  // namespace rm
