#include "router/router_commands.h"

#include <algorithm>

#include "text/datetime.h"
#include "waits.h"

namespace rm {
namespace {

constexpr std::size_t HeaderLength = 16;

void Put16(std::string& datagram, std::size_t at, unsigned value) {
    datagram[at] = static_cast<char>((value >> 8) & 0xFF);
    datagram[at + 1] = static_cast<char>(value & 0xFF);
}

// A zeroed datagram with its header filled in.
std::string Datagram(unsigned type, unsigned code, std::size_t payloadLength) {
    std::string datagram(HeaderLength + payloadLength, '\0');
    Put16(datagram, 0, type);
    Put16(datagram, 4, code);
    Put16(datagram, 6, static_cast<unsigned>(payloadLength));
    return datagram;
}

void PutRouter(std::string& datagram, const RouterLink& router) {
    std::size_t at = HeaderLength;
    for (const std::uint16_t octet : {router.RouterIp1, router.RouterIp2, router.RouterIp3, router.RouterIp4}) {
        datagram[at++] = static_cast<char>(octet & 0xFF);
    }
}

std::string RouterDatagram(const RouterLink& router, unsigned type, unsigned code, std::size_t payloadLength) {
    std::string datagram = Datagram(type, code, payloadLength);
    PutRouter(datagram, router);
    return datagram;
}

enum class Quietly { No, Yes };

// False when the endpoint cannot take the router's address; nothing is sent then.
bool Send(Monitor& m, const std::string& datagram, Quietly quietly = Quietly::No) {
    try {
        m.ports.Net.Send(Endpoint::Router, m.s.settings.RouterAddress, datagram);
    } catch (const RemoteHostRejected&) {
        if (quietly == Quietly::No) ShowMessage(m, "IPアドレスの割り当てに失敗しました");
        return false;
    }
    return true;
}

// Until arrived() holds or the time is up. arrived() reads the state afresh
// after each reply: the events run meanwhile change it. The wait is measured
// on the monotonic clock: setting the router's clock, or the user's, must not
// end it early.
template <class Arrived>
Task<bool> AwaitReply(Monitor& m, Arrived arrived) {
    const std::int64_t start = m.ports.Clock.MonotonicMilliseconds();
    while (!arrived()) {
        const std::int64_t elapsed = m.ports.Clock.MonotonicMilliseconds() - start;
        if (elapsed >= ReplyWaitMilliseconds) co_return false;
        co_await RouterReplyOrTimeout(m, static_cast<int>(ReplyWaitMilliseconds - elapsed));
    }
    co_return true;
}

Task<bool> AwaitAcknowledgement(Monitor& m) {
    return AwaitReply(m, [&m] { return m.s.router.CommandAcknowledged; });
}

// Byte i of the reply as 0..255, or -1 past its end.
int ByteAt(std::string_view reply, std::size_t i) {
    return i < reply.size() ? static_cast<unsigned char>(reply[i]) : -1;
}

}  // namespace

std::string ClockDatagram(const RouterLink& router, DateTime now) {
    const CivilTime t = DecodeDateTime(now);
    std::string datagram = RouterDatagram(router, 0x0040, 0x410B, 10);
    Put16(datagram, 20, static_cast<unsigned>(t.Hour));
    Put16(datagram, 22, static_cast<unsigned>(t.Minute));
    Put16(datagram, 24, static_cast<unsigned>(t.Second));
    return datagram;
}

std::string IspQueryDatagram(const RouterLink& router) { return RouterDatagram(router, 0x0003, 0x0164, 8); }

std::string ConnectPortDatagram(const RouterLink& router, int port) {
    return RouterDatagram(router, 0x0002, 0x0169 + static_cast<unsigned>(port), 4);
}

std::string DisconnectPortDatagram(const RouterLink& router, int port) {
    return RouterDatagram(router, 0x0002, 0x0167 + static_cast<unsigned>(port), 4);
}

std::string SelectIspDatagram(int index) {
    std::string datagram = Datagram(0x0004, 0x016E, 2);
    Put16(datagram, HeaderLength, static_cast<unsigned>(index));
    return datagram;
}

Task<bool> SetRouterClock(Monitor& m) {
    if (!Send(m, ClockDatagram(m.s.router, m.ports.Clock.Now()))) co_return false;
    // Reset after the send: an acknowledgement that came before is stale.
    m.s.router.CommandAcknowledged = false;
    const bool acknowledged = co_await AwaitAcknowledgement(m);
    if (acknowledged) co_return true;
    ShowMessage(m, "時間設定に失敗しました");
    co_return false;
}

Task<std::uint16_t> QueryRouterIsp(Monitor& m) {
    if (!Send(m, IspQueryDatagram(m.s.router), Quietly::Yes)) co_return 0;
    m.s.router.ReportedIsp = NoIspReported;
    const bool reported = co_await AwaitReply(m, [&m] { return m.s.router.ReportedIsp != NoIspReported; });
    co_return reported ? m.s.router.ReportedIsp : std::uint16_t{0};
}

bool ConnectRouterPort(Monitor& m, int port) { return Send(m, ConnectPortDatagram(m.s.router, port)); }

bool DisconnectRouterPort(Monitor& m, int port) {
    // The address goes into the datagram as bytes: a number over 255 cannot.
    for (const std::uint16_t octet : {m.s.router.RouterIp1, m.s.router.RouterIp2, m.s.router.RouterIp3, m.s.router.RouterIp4}) {
        if (octet > 255) {
            ShowMessage(m, "RV4のIPアドレス指定に失敗しました");
            return false;
        }
    }
    return Send(m, DisconnectPortDatagram(m.s.router, port));
}

Task<bool> SelectRouterIsp(Monitor& m, int index) {
    if (!Send(m, SelectIspDatagram(index))) co_return false;
    m.s.router.CommandAcknowledged = false;
    const bool acknowledged = co_await AwaitAcknowledgement(m);
    if (acknowledged) co_return true;
    ShowMessage(m, "ISPの切り替えに失敗しました");
    co_return false;
}

void OnRouterReply(Monitor& m, int byteCount, std::string_view reply) {
    // The lengths exclude each other: at most one kind of reply applies.
    constexpr int Acknowledges = 0x81;
    switch (byteCount) {
    case 18:
        if (ByteAt(reply, 16) == 0 && ByteAt(reply, 17) == 0) m.s.router.CommandAcknowledged = true;
        break;
    case 56:
    case 20:
    case 13:
        if (ByteAt(reply, 4) == Acknowledges) m.s.router.CommandAcknowledged = true;
        break;
    case 184:
        if (const int isp = ByteAt(reply, 29); isp >= 0) m.s.router.ReportedIsp = static_cast<std::uint16_t>(isp + 1);
        break;
    case 372:
        if (const int isp = ByteAt(reply, 43); isp >= 0) m.s.router.ReportedIsp = static_cast<std::uint16_t>(isp + 1);
        break;
    default: return;
    }
    RouterReplied(m);
}

}  // namespace rm
