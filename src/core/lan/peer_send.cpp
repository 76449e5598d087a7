#include "lan/peer_send.h"

#include "text/address.h"
#include "text/cp932.h"

namespace rm {

std::string SubnetAddress(const RouterLink& router, int host) {
    return std::to_string(router.RouterIp1) + "." + std::to_string(router.RouterIp2) + "." +
           std::to_string(router.RouterIp3) + "." + std::to_string(host);
}

std::string BroadcastAddress(const RouterLink& router) { return SubnetAddress(router, 255); }

std::optional<int> SubnetHostOf(const RouterLink& router, std::string_view address) {
    const auto octets = ParseIpv4Address(address);
    if (!octets || (*octets)[0] != router.RouterIp1 || (*octets)[1] != router.RouterIp2 ||
        (*octets)[2] != router.RouterIp3) {
        return std::nullopt;
    }
    return (*octets)[3];
}

bool InRouterSubnet(const RouterLink& router, std::string_view address) {
    const std::optional<int> host = SubnetHostOf(router, address);
    return host && *host != 0 && *host != 255;
}

void BroadcastPeerText(Monitor& m, std::string_view text) { SendPeerText(m, BroadcastAddress(m.s.router), text); }

void SendPeerText(Monitor& m, const std::string& address, std::string_view text) {
    SendPeerBytes(m, address, Utf8ToCp932(text));
}

void SendPeerBytes(Monitor& m, const std::string& address, std::string_view bytes) {
    m.ports.Net.Send(Endpoint::Peers, address, bytes);
}

}  // namespace rm
