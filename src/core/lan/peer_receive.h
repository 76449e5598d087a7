// What the other copies on the LAN send to port 4450.
#pragma once

#include <string>
#include <string_view>

#include "monitor.h"

namespace rm {

// One datagram from the peer at senderAddress (dotted); byteCount as the endpoint
// reports it, -1 for a failed read.
void OnPeerDatagram(Monitor& m, int byteCount, std::string_view datagram, const std::string& senderAddress);
// The box with the count of history lines received was dismissed.
void LogNoticeClosed(Monitor& m);

}  // namespace rm
