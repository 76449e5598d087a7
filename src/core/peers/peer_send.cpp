#include "peers/peer_send.h"

#include "text/cp932.h"

namespace rm {

std::string BroadcastAddress(const MainState& s) {
    return std::to_string(s.RouterIp1) + "." + std::to_string(s.RouterIp2) + "." +
           std::to_string(s.RouterIp3) + ".255";
}

void BroadcastPeerText(Monitor& m, const std::string& text) {
    SendPeerText(m, BroadcastAddress(m.s), text);
}

void SendPeerText(Monitor& m, const std::string& address, const std::string& text) {
    m.ports.Net.Send(Endpoint::RM_UDP, address, Utf8ToCp932(text));
}

}  // namespace rm
