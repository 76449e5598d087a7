#include "router/router_commands.h"

#include <algorithm>
#include <cmath>

#include "text/datetime.h"

namespace rm {
namespace {

constexpr std::size_t HeaderLength = 16;
constexpr double MillisecondsPerDay = 86'400'000.0;
// Keeps window messages flowing while a reply is awaited.
constexpr int WaitSliceMilliseconds = 100;

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

void PutRouter(std::string& datagram, const MainState& s) {
    std::size_t at = HeaderLength;
    for (const std::uint16_t octet : {s.RouterIp1, s.RouterIp2, s.RouterIp3, s.RouterIp4}) {
        datagram[at++] = static_cast<char>(octet & 0xFF);
    }
}

std::string RouterDatagram(const MainState& s, unsigned type, unsigned code, std::size_t payloadLength) {
    std::string datagram = Datagram(type, code, payloadLength);
    PutRouter(datagram, s);
    return datagram;
}

enum class Quietly { No, Yes };

// False when the endpoint cannot take the router's address; nothing is sent then.
bool Send(Monitor& m, const std::string& datagram, Quietly quietly = Quietly::No) {
    try {
        m.ports.Net.Send(Endpoint::RV_UDP, m.s.RouterAddress, datagram);
    } catch (const RemoteHostRejected&) {
        if (quietly == Quietly::No) m.ports.Dialogs.ShowMessage("IPアドレスの割り当てに失敗しました");
        return false;
    }
    return true;
}

// Lets other events run until arrived() holds or the time is up. arrived()
// reads the state afresh each pass: the handlers run meanwhile change it.
template <class Arrived>
bool AwaitReply(Monitor& m, Arrived arrived) {
    DateTime start = m.ports.Clock.Now();
    while (!arrived()) {
        const DateTime now = m.ports.Clock.Now();
        // Local time set back: measure from there.
        if (now < start) start = now;
        const double elapsed = (now - start) * MillisecondsPerDay;
        if (elapsed >= ReplyWaitMilliseconds) return false;
        const double remaining = std::ceil(ReplyWaitMilliseconds - elapsed);
        m.ports.Events.ProcessEvents(static_cast<int>(std::clamp(remaining, 1.0, double{WaitSliceMilliseconds})));
    }
    return true;
}

bool AwaitAcknowledgement(Monitor& m) {
    return AwaitReply(m, [&m] { return m.s.CommandAcknowledged; });
}

// Byte i of the reply as 0..255, or -1 past its end.
int ByteAt(std::string_view reply, std::size_t i) {
    return i < reply.size() ? static_cast<unsigned char>(reply[i]) : -1;
}

}  // namespace

std::string ClockDatagram(const MainState& s, DateTime now) {
    const CivilTime t = DecodeDateTime(now);
    std::string datagram = RouterDatagram(s, 0x0040, 0x410B, 10);
    Put16(datagram, 20, static_cast<unsigned>(t.Hour));
    Put16(datagram, 22, static_cast<unsigned>(t.Minute));
    Put16(datagram, 24, static_cast<unsigned>(t.Second));
    return datagram;
}

std::string IspQueryDatagram(const MainState& s) { return RouterDatagram(s, 0x0003, 0x0164, 8); }

std::string ConnectPortDatagram(const MainState& s, int port) {
    return RouterDatagram(s, 0x0002, 0x0169 + static_cast<unsigned>(port), 4);
}

std::string DisconnectPortDatagram(const MainState& s, int port) {
    return RouterDatagram(s, 0x0002, 0x0167 + static_cast<unsigned>(port), 4);
}

std::string SelectIspDatagram(int index) {
    std::string datagram = Datagram(0x0004, 0x016E, 2);
    Put16(datagram, HeaderLength, static_cast<unsigned>(index));
    return datagram;
}

bool SetRouterClock(Monitor& m) {
    if (!Send(m, ClockDatagram(m.s, m.ports.Clock.Now()))) return false;
    // Reset after the send: an acknowledgement that came before is stale.
    m.s.CommandAcknowledged = false;
    if (AwaitAcknowledgement(m)) return true;
    m.ports.Dialogs.ShowMessage("時間設定に失敗しました");
    return false;
}

std::uint16_t QueryRouterIsp(Monitor& m) {
    if (!Send(m, IspQueryDatagram(m.s), Quietly::Yes)) return 0;
    m.s.ReportedIsp = NoIspReported;
    return AwaitReply(m, [&m] { return m.s.ReportedIsp != NoIspReported; }) ? m.s.ReportedIsp : 0;
}

bool ConnectRouterPort(Monitor& m, int port) { return Send(m, ConnectPortDatagram(m.s, port)); }

bool DisconnectRouterPort(Monitor& m, int port) {
    // The address goes into the datagram as bytes: a number over 255 cannot.
    for (const std::uint16_t octet : {m.s.RouterIp1, m.s.RouterIp2, m.s.RouterIp3, m.s.RouterIp4}) {
        if (octet > 255) {
            m.ports.Dialogs.ShowMessage("RV4のIPアドレス指定に失敗しました");
            return false;
        }
    }
    return Send(m, DisconnectPortDatagram(m.s, port));
}

bool SelectRouterIsp(Monitor& m, int index) {
    if (!Send(m, SelectIspDatagram(index))) return false;
    m.s.CommandAcknowledged = false;
    if (AwaitAcknowledgement(m)) return true;
    m.ports.Dialogs.ShowMessage("ISPの切り替えに失敗しました");
    return false;
}

void RV_UDPDataReceived(Monitor& m, int NumberBytes, std::string_view reply) {
    // The lengths exclude each other: at most one kind of reply applies.
    constexpr int Acknowledges = 0x81;
    switch (NumberBytes) {
    case 18:
        if (ByteAt(reply, 16) == 0 && ByteAt(reply, 17) == 0) m.s.CommandAcknowledged = true;
        break;
    case 56:
    case 20:
    case 13:
        if (ByteAt(reply, 4) == Acknowledges) m.s.CommandAcknowledged = true;
        break;
    case 184:
        if (const int isp = ByteAt(reply, 29); isp >= 0) m.s.ReportedIsp = static_cast<std::uint16_t>(isp + 1);
        break;
    case 372:
        if (const int isp = ByteAt(reply, 43); isp >= 0) m.s.ReportedIsp = static_cast<std::uint16_t>(isp + 1);
        break;
    default: break;
    }
}

}  // namespace rm
