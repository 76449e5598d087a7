#include "peers/peer_send.h"

#include "text/cp932.h"

namespace rm {

std::string BroadcastAddress(const RouterLink& router) {
    return std::to_string(router.RouterIp1) + "." + std::to_string(router.RouterIp2) + "." +
           std::to_string(router.RouterIp3) + ".255";
}

void BroadcastPeerText(Monitor& m, std::string_view text) { SendPeerText(m, BroadcastAddress(m.s.router), text); }

void SendPeerText(Monitor& m, const std::string& address, std::string_view text) {
    SendPeerBytes(m, address, Utf8ToCp932(text));
}

void SendPeerBytes(Monitor& m, const std::string& address, std::string_view bytes) {
    m.ports.Net.NestingSend(Endpoint::RM_UDP, address, bytes);
}

}  // namespace rm
