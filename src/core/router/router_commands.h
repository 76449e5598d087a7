// Command datagrams to the router (UDP 4449) and the replies the monitor
// waits for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// The datagrams byte for byte. The router is named by RouterIp1..4, the low
// byte of each.
std::string ClockDatagram(const RouterLink& router, DateTime now);
std::string IspQueryDatagram(const RouterLink& router);
std::string ConnectPortDatagram(const RouterLink& router, int port);
std::string DisconnectPortDatagram(const RouterLink& router, int port);
std::string SelectIspDatagram(int index);

// How long a command waits for the router's reply. Other events run
// meanwhile and may start another command; each wait ends on whichever reply
// comes first.
inline constexpr int ReplyWaitMilliseconds = 2000;

// ReportedIsp while the router has not answered the ISP query.
inline constexpr std::uint16_t NoIspReported = 255;

// Every command shows "IPアドレスの割り当てに失敗しました" and sends nothing
// when the endpoint cannot take RouterAddress (the ISP query stays silent).

// Sets the router's clock to the PC's local time. False, after a message,
// when the router does not acknowledge.
Task<bool> SetRouterClock(Monitor& m);
// The ISP account (1..3) the router is connected through, or 0 when it does
// not answer.
Task<std::uint16_t> QueryRouterIsp(Monitor& m);
// Port 1 or 2; no reply is awaited. False when nothing was sent.
bool ConnectRouterPort(Monitor& m, int port);
// Also false, after a message, when a number of the router's address does not
// fit in a byte.
bool DisconnectRouterPort(Monitor& m, int port);
// Index 0..2 for ISP1..ISP3, used by the next connect. False, after a
// message, when the router does not acknowledge.
Task<bool> SelectRouterIsp(Monitor& m, int index);

// A datagram on Endpoint::Router: byteCount as the endpoint reported it (-1 when the
// read failed), reply the bytes read. Only notes the acknowledgement or the
// ISP, and wakes the commands waiting for a reply; a reply nobody waits for
// is kept until the next command resets it.
void OnRouterReply(Monitor& m, int byteCount, std::string_view reply);

}  // namespace rm
