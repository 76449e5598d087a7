#include <gtest/gtest.h>

#include <string>

#include "form/settings_save.h"
#include "lan/peer_receive.h"
#include "lan/peer_send.h"
#include "lan/sender_filter.h"
#include "syslog/syslog.h"
#include "test_command_support.h"

namespace rm::test {
namespace {

// A copy whose router is 192.168.0.1, with syslog shown, that takes a dial
// line and a memo from any sender.
struct FilterMonitor : CommandMonitor {
    explicit FilterMonitor(bool routerSendersOnly) {
        m.s.settings.SyslogEnabled = "on";
        m.s.settings.RouterSendersOnly = routerSendersOnly;
    }
    void SyslogFrom(const std::string& sender) {
        const std::string line = DialLine("0123");
        Run(OnSyslogDatagram(m, static_cast<int>(line.size()), line, sender, clock.now));
    }
    void MemoFrom(const std::string& sender) {
        for (const std::string_view text : {"RMonitor MemoSend Ver1.00", "hello", "RMonitor MemoSend End"}) {
            OnPeerDatagram(m, static_cast<int>(text.size()), text, sender);
        }
    }
    bool SyslogTaken() const { return m.s.conn.Online && !m.view.Viewer.Lines.empty(); }
    bool MemoTaken() const { return m.view.MemoNotice.Shown && !m.view.MemoReceive.Lines.empty(); }
};

// Senders a hostile or misconfigured LAN may show, none of them the router
// nor a host of its subnet.
constexpr const char* Strangers[] = {
    "192.168.1.1", "10.0.0.1", "192.168.0.10", "192.168.0.1 ", " 192.168.0.1", "192.168.0.1.5", "192.168.0",
    "", "::1", "192.168.0.0x1", "192.168.0.-1", "192.168.0.256", "router",
};

TEST(SenderFilter, OffTakesEverySenderAsBefore) {
    for (const char* sender : Strangers) {
        FilterMonitor f(false);
        f.SyslogFrom(sender);
        f.MemoFrom(sender);
        EXPECT_TRUE(f.SyslogTaken()) << "[" << sender << "]";
        EXPECT_TRUE(f.MemoTaken()) << "[" << sender << "]";
        EXPECT_TRUE(f.log.lines.empty());
    }
    EXPECT_FALSE(Settings{}.RouterSendersOnly);
}

TEST(SenderFilter, OnTakesSyslogOnlyFromTheRoutersExactAddress) {
    FilterMonitor router(true);
    router.SyslogFrom("192.168.0.1");
    EXPECT_TRUE(router.SyslogTaken());

    // A copy on the LAN is no router: its syslog is refused too.
    for (const char* sender : {"192.168.0.7", "192.168.0.11", "192.168.0.100", "192.168.0.255"}) {
        FilterMonitor f(true);
        f.SyslogFrom(sender);
        EXPECT_FALSE(f.SyslogTaken()) << sender;
        EXPECT_TRUE(f.m.view.Viewer.Lines.empty()) << sender;
    }
    for (const char* sender : Strangers) {
        FilterMonitor f(true);
        f.SyslogFrom(sender);
        EXPECT_FALSE(f.SyslogTaken()) << "[" << sender << "]";
    }
}

TEST(SenderFilter, OnTakesPeerTextsOnlyFromHostsOfTheRoutersSubnet) {
    for (const char* sender : {"192.168.0.1", "192.168.0.2", "192.168.0.7", "192.168.0.254"}) {
        FilterMonitor f(true);
        f.MemoFrom(sender);
        EXPECT_TRUE(f.MemoTaken()) << sender;
    }
    // Its network and broadcast addresses are no sender.
    for (const char* sender : {"192.168.0.0", "192.168.0.255"}) {
        FilterMonitor f(true);
        f.MemoFrom(sender);
        EXPECT_FALSE(f.MemoTaken()) << sender;
    }
    for (const char* sender : {"192.168.1.7", "192.169.0.7", "193.168.0.7", "10.0.0.7"}) {
        FilterMonitor f(true);
        f.MemoFrom(sender);
        EXPECT_FALSE(f.MemoTaken()) << sender;
    }
    for (const char* sender : Strangers) {
        if (std::string(sender) == "192.168.0.10") continue;  // a host of the subnet
        FilterMonitor f(true);
        f.MemoFrom(sender);
        EXPECT_FALSE(f.MemoTaken()) << "[" << sender << "]";
    }
}

TEST(SenderFilter, ARefusedPeerGetsNoAnswerAndChangesNoState) {
    FilterMonitor f(true);
    f.m.s.settings.MasterMode = true;
    for (const std::string_view text : {"RMonitor PC Name", "RMonitor Master Check", "RMonitor PC Name =x",
                                        "###Log Data Send### Start", "line", "###Log Data Send### End"}) {
        OnPeerDatagram(f.m, static_cast<int>(text.size()), text, "10.9.9.9");
    }
    EXPECT_TRUE(f.net.sent.empty());
    EXPECT_TRUE(f.m.view.MemoSend.Destinations.empty());
    EXPECT_FALSE(f.m.s.peers.LogReceiving);
    EXPECT_FALSE(f.m.view.LogNotice.Shown);

    FilterMonitor follower(true);
    OnPeerDatagram(follower.m, 25, "RMonitor Master Connected", "172.16.0.1");
    EXPECT_TRUE(follower.m.s.peers.MasterAddress.empty());
}

// The subnet is the one the copies broadcast to, and follows the router's
// address as the settings save takes it.
TEST(SenderFilter, TheSubnetIsTheOneOfTheBroadcastAndFollowsTheRoutersAddress) {
    FilterMonitor f(true);
    TakeRouterAddress("10.1.2.3", f.m.s.router);
    EXPECT_EQ(BroadcastAddress(f.m.s.router), "10.1.2.255");
    for (int host = 1; host < 255; ++host) EXPECT_TRUE(InRouterSubnet(f.m.s.router, SubnetAddress(f.m.s.router, host)));
    EXPECT_FALSE(InRouterSubnet(f.m.s.router, BroadcastAddress(f.m.s.router)));

    f.MemoFrom("192.168.0.5");
    EXPECT_FALSE(f.MemoTaken());
    f.MemoFrom("10.1.2.200");
    EXPECT_TRUE(f.MemoTaken());
    f.SyslogFrom("192.168.0.1");
    EXPECT_FALSE(f.SyslogTaken());
    f.SyslogFrom("10.1.2.3");
    EXPECT_TRUE(f.SyslogTaken());
}

TEST(SenderFilter, RefusalsLeaveOneLogLineAMinutePerEndpointWithTheirCount) {
    FilterMonitor f(true);
    for (int i = 0; i < 5000; ++i) {
        f.SyslogFrom("10.0.0." + std::to_string(i % 250));
        f.MemoFrom(std::string("10.0.0.9\0\x1b", 10));
        f.clock.monotonic += 10;
    }
    // 50 seconds of refusals: the first of each endpoint is told at once.
    ASSERT_EQ(f.log.lines.size(), 2u);
    EXPECT_EQ(f.log.lines[0], "syslog datagrams refused for their sender: 1, the last from 10.0.0.0");
    EXPECT_EQ(f.log.lines[1], "peer datagrams refused for their sender: 1, the last from 10.0.0.9\u2400\u241b");

    f.clock.monotonic += RefusedTellInterval;
    f.SyslogFrom("10.0.0.77");
    ASSERT_EQ(f.log.lines.size(), 3u);
    EXPECT_EQ(f.log.lines[2], "syslog datagrams refused for their sender: 5000, the last from 10.0.0.77");
    f.MemoFrom("10.0.0.78");
    ASSERT_EQ(f.log.lines.size(), 4u);
    EXPECT_EQ(f.log.lines[3], "peer datagrams refused for their sender: 15000, the last from 10.0.0.78");
    EXPECT_TRUE(f.m.view.Viewer.Lines.empty());
    EXPECT_TRUE(f.m.view.MemoReceive.Lines.empty());
}

}  // namespace
}  // namespace rm::test
