// The copies on the LAN, their lower layer: the protocol's fixed texts, the
// router's subnet they share, and sending. Connecting broadcasts, so this
// sits below router/; what arrives is handled in peer_receive.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "monitor.h"

namespace rm {

namespace PeerText {
inline constexpr std::string_view MasterCheck = "RMonitor Master Check";
inline constexpr std::string_view MasterConnected = "RMonitor Master Connected";
inline constexpr std::string_view MasterDisconnected = "RMonitor Master DisConnected";
inline constexpr std::string_view NameQuery = "RMonitor PC Name";
inline constexpr std::string_view NameReply = "RMonitor PC Name =";
inline constexpr std::string_view MemoStart = "RMonitor MemoSend Ver1.00";
inline constexpr std::string_view MemoEnd = "RMonitor MemoSend End";
inline constexpr std::string_view LogStart = "###Log Data Send### Start";
inline constexpr std::string_view LogEnd = "###Log Data Send### End";
}  // namespace PeerText

// What fits into one datagram of the peer endpoint.
inline constexpr std::size_t MaxPeerDatagram = 2048;

// The copies share the router's subnet: RouterIp1.RouterIp2.RouterIp3.host.
std::string SubnetAddress(const RouterLink& router, int host);
// SubnetAddress(router, 255).
std::string BroadcastAddress(const RouterLink& router);
// The last octet of a (dotted) address in that subnet; none outside it.
std::optional<int> SubnetHostOf(const RouterLink& router, std::string_view address);
// A host of that subnet (dotted, not its network or broadcast address).
bool InRouterSubnet(const RouterLink& router, std::string_view address);
void BroadcastPeerText(Monitor& m, std::string_view text);
void SendPeerText(Monitor& m, const std::string& address, std::string_view text);
// Bytes as they are, Shift-JIS already.
void SendPeerBytes(Monitor& m, const std::string& address, std::string_view bytes);

}  // namespace rm
