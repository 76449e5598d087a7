// A monitor whose router acknowledges every command, as the real one does.
#pragma once

#include <string>
#include <vector>

#include "app/startup.h"
#include "router/router_commands.h"
#include "test_syslog_support.h"

namespace rm::test {

using Datagrams = std::vector<std::string>;

// After start-up.
struct CommandMonitor : SyslogMonitor {
    CommandMonitor() {
        m.s.router.RouterIp1 = 192;
        m.s.router.RouterIp2 = 168;
        m.s.router.RouterIp3 = 0;
        m.s.router.RouterIp4 = 1;
        m.s.settings.SyslogEnabled = "off";
        net.onSend = [this](const SentDatagram& d) {
            // The clock and the ISP selection await an acknowledgement.
            const bool waits = d.bytes.size() >= 2 && (d.bytes[1] == 0x40 || d.bytes[1] == 0x04);
            if (d.from == Endpoint::Router && waits) steps.queued.push_back([this] { Acknowledge(); });
        };
    }
    void TwoPorts() {
        m.s.settings.UsePort2 = true;
        ApplyConnectMenuShape(m);
    }
    void MultiAccount() {
        m.s.settings.MultiAccount = true;
        ApplyConnectMenuShape(m);
    }
    void UtilityMode() { m.s.settings.NoUtility = false; }
    void Acknowledge() {
        std::string reply(13, '\0');
        reply[4] = '\x81';
        OnRouterReply(m, static_cast<int>(reply.size()), reply);
    }
    Datagrams RouterSends() const {
        Datagrams sent;
        for (const SentDatagram& d : net.sent) {
            if (d.from == Endpoint::Router) sent.push_back(d.bytes);
        }
        return sent;
    }
    std::string Clock() const { return ClockDatagram(m.s.router, clock.now); }
    std::string Connect(int port) const { return ConnectPortDatagram(m.s.router, port); }
    std::string Disconnect(int port) const { return DisconnectPortDatagram(m.s.router, port); }
    bool Enabled(Item item) const { return m.view.Menu[item].Enabled; }
};

}  // namespace rm::test
