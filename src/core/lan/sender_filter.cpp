#include "lan/sender_filter.h"

#include "lan/peer_send.h"
#include "text/chars.h"

namespace rm {
namespace {

bool FromRouter(const RouterLink& router, const std::string& address) {
    return SubnetHostOf(router, address) == router.RouterIp4;
}

bool Refuse(Monitor& m, RefusedSenders& refused, const char* endpoint, const std::string& from) {
    ++refused.Count;
    const std::int64_t now = m.ports.Clock.MonotonicMilliseconds();
    if (refused.Told && now - refused.ToldAt < RefusedTellInterval) return false;
    m.ports.Diagnostics.Log(std::string(endpoint) + " datagrams refused for their sender: " +
                            std::to_string(refused.Count) + ", the last from " + VisibleText(from));
    refused = {.Count = 0, .Told = true, .ToldAt = now};
    return false;
}

}  // namespace

bool SyslogSenderTaken(Monitor& m, const std::string& from) {
    if (!m.s.settings.RouterSendersOnly || FromRouter(m.s.router, from)) return true;
    return Refuse(m, m.s.senders.Syslog, "syslog", from);
}

bool PeerSenderTaken(Monitor& m, const std::string& from) {
    if (!m.s.settings.RouterSendersOnly || InRouterSubnet(m.s.router, from)) return true;
    return Refuse(m, m.s.senders.Peer, "peer", from);
}

}  // namespace rm
