// Sending plain-text datagrams to the other copies on the LAN.
#pragma once

#include <string>

#include "monitor.h"

namespace rm {

// RouterIp1.RouterIp2.RouterIp3.255
std::string BroadcastAddress(const RouterLink& router);
void BroadcastPeerText(Monitor& m, const std::string& text);
void SendPeerText(Monitor& m, const std::string& address, const std::string& text);

}  // namespace rm
