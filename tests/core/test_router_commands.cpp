#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <optional>
#include <utility>

#include "fakes.h"
#include "syslog/syslog.h"
#include "router/router_commands.h"
#include "text/datetime.h"

namespace rm::test {
namespace {

constexpr double MillisecondsPerDay = 86'400'000.0;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string text;
    for (const int b : bytes) text += static_cast<char>(b);
    return text;
}

// A reply of the given length, zero but for the bytes given.
std::string Reply(std::size_t length, std::initializer_list<std::pair<std::size_t, int>> bytes = {}) {
    std::string reply(length, '\0');
    for (const auto& [at, value] : bytes) reply[at] = static_cast<char>(value);
    return reply;
}

const std::string Ack = Reply(20, {{4, 0x81}});

struct RouterMonitor : FakeMonitor {
    RouterMonitor() {
        m.s.router.RouterIp1 = 192;
        m.s.router.RouterIp2 = 168;
        m.s.router.RouterIp3 = 0;
        m.s.router.RouterIp4 = 1;
        clock.now = EncodeDateTime({2003, 1, 2, 9, 5, 7, 0});
    }
    void Deliver(const std::string& reply) { OnRouterReply(m, static_cast<int>(reply.size()), reply); }
    // The router answers while the command waits.
    void AnswerLater(const std::string& reply) {
        steps.queued.push_back([this, reply] { Deliver(reply); });
    }
    double ElapsedMilliseconds(DateTime since) const { return std::round((clock.now - since) * MillisecondsPerDay); }
};

TEST(RouterDatagrams, ByteForByte) {
    RouterMonitor f;
    const MainState& s = f.m.s;
    const std::string header8 = Bytes({0, 0, 0, 0, 0, 0, 0, 0});
    const std::string router = Bytes({0xC0, 0xA8, 0x00, 0x01});

    EXPECT_EQ(ClockDatagram(s.router, f.clock.now),
              Bytes({0x00, 0x40, 0x00, 0x00, 0x41, 0x0B, 0x00, 0x0A}) + header8 + router +
                  Bytes({0x00, 0x09, 0x00, 0x05, 0x00, 0x07}));
    EXPECT_EQ(IspQueryDatagram(s.router),
              Bytes({0x00, 0x03, 0x00, 0x00, 0x01, 0x64, 0x00, 0x08}) + header8 + router + Bytes({0, 0, 0, 0}));
    EXPECT_EQ(ConnectPortDatagram(s.router, 1), Bytes({0x00, 0x02, 0x00, 0x00, 0x01, 0x6A, 0x00, 0x04}) + header8 + router);
    EXPECT_EQ(ConnectPortDatagram(s.router, 2), Bytes({0x00, 0x02, 0x00, 0x00, 0x01, 0x6B, 0x00, 0x04}) + header8 + router);
    EXPECT_EQ(DisconnectPortDatagram(s.router, 1),
              Bytes({0x00, 0x02, 0x00, 0x00, 0x01, 0x68, 0x00, 0x04}) + header8 + router);
    EXPECT_EQ(DisconnectPortDatagram(s.router, 2),
              Bytes({0x00, 0x02, 0x00, 0x00, 0x01, 0x69, 0x00, 0x04}) + header8 + router);
    EXPECT_EQ(SelectIspDatagram(2), Bytes({0x00, 0x04, 0x00, 0x00, 0x01, 0x6E, 0x00, 0x02}) + header8 + Bytes({0, 2}));
    EXPECT_EQ(SelectIspDatagram(0).substr(16), Bytes({0, 0}));

    // An hour past noon, and numbers out of byte range keep their low byte.
    f.m.s.router.RouterIp2 = 300;
    const std::string late = ClockDatagram(f.m.s.router, EncodeDateTime({2003, 1, 2, 23, 59, 58, 0}));
    EXPECT_EQ(late.substr(16), Bytes({0xC0, 0x2C, 0x00, 0x01, 0x00, 23, 0x00, 59, 0x00, 58}));
}

TEST(RouterCommands, SendToTheRouterAddressTextFromTheRouterEndpoint) {
    RouterMonitor f;
    f.m.s.settings.RouterAddress = "rv4.home";  // the text goes to the endpoint, not the numbers
    ConnectRouterPort(f.m, 2);
    DisconnectRouterPort(f.m, 1);
    EXPECT_EQ(f.net.sent, (std::vector<SentDatagram>{
                              {Endpoint::Router, "rv4.home", ConnectPortDatagram(f.m.s.router, 2)},
                              {Endpoint::Router, "rv4.home", DisconnectPortDatagram(f.m.s.router, 1)},
                          }));
    EXPECT_TRUE(f.steps.waits.empty());  // nothing is awaited
}

TEST(RouterReplies, AcknowledgementsByLengthAndBytes) {
    struct Case {
        std::string reply;
        bool acknowledges;
    };
    const std::vector<Case> cases{
        {Reply(18), true},
        {Reply(18, {{4, 0x01}}), true},  // byte 4 plays no part at this length
        {Reply(18, {{17, 0x01}}), false},
        {Reply(18, {{16, 0x01}}), false},
        {Reply(56, {{4, 0x81}}), true},
        {Reply(56, {{4, 0x01}}), false},
        {Reply(20, {{4, 0x81}}), true},
        {Reply(20, {{4, 0x01}}), false},
        {Reply(13, {{4, 0x81}}), true},
        {Reply(13), false},
        {Reply(19, {{4, 0x81}}), false},
        {Reply(21, {{4, 0x81}}), false},
        {Reply(512, {{4, 0x81}}), false},
    };
    for (const Case& c : cases) {
        RouterMonitor f;
        f.Deliver(c.reply);
        EXPECT_EQ(f.m.s.router.CommandAcknowledged, c.acknowledges) << c.reply.size() << " bytes";
        EXPECT_EQ(f.m.s.router.ReportedIsp, 0) << c.reply.size() << " bytes";
    }
}

TEST(RouterReplies, IspAnswersAreZeroBased) {
    RouterMonitor f;
    f.Deliver(Reply(184, {{29, 1}, {43, 7}}));
    EXPECT_EQ(f.m.s.router.ReportedIsp, 2);
    f.Deliver(Reply(372, {{29, 7}, {43, 2}}));
    EXPECT_EQ(f.m.s.router.ReportedIsp, 3);
    f.Deliver(Reply(184));
    EXPECT_EQ(f.m.s.router.ReportedIsp, 1);
    EXPECT_FALSE(f.m.s.router.CommandAcknowledged);
    f.Deliver(Reply(183, {{29, 1}}));
    EXPECT_EQ(f.m.s.router.ReportedIsp, 1);
}

TEST(RouterReplies, FailedReadsAndShortBuffersChangeNothing) {
    RouterMonitor f;
    f.m.s.router.ReportedIsp = NoIspReported;
    OnRouterReply(f.m, 0, "");
    OnRouterReply(f.m, -1, Ack);
    // The length says more than was read: the missing bytes are not looked at.
    OnRouterReply(f.m, 184, Reply(29));
    OnRouterReply(f.m, 372, Reply(40));
    OnRouterReply(f.m, 20, Reply(4));
    OnRouterReply(f.m, 18, Reply(17));
    EXPECT_FALSE(f.m.s.router.CommandAcknowledged);
    EXPECT_EQ(f.m.s.router.ReportedIsp, NoIspReported);
}

TEST(RouterWait, EndsOnTheAcknowledgement) {
    RouterMonitor f;
    const DateTime start = f.clock.now;
    f.AnswerLater(Ack);
    EXPECT_TRUE(f.Run(SetRouterClock(f.m)));
    EXPECT_EQ(f.net.sent,
              (std::vector<SentDatagram>{{Endpoint::Router, "192.168.0.1", ClockDatagram(f.m.s.router, start)}}));
    // One wait, woken by the reply well before its time-out.
    EXPECT_EQ(f.steps.waits, (std::vector<int>{ReplyWaitMilliseconds, 0}));
    EXPECT_LT(f.ElapsedMilliseconds(start), 1.0);
    EXPECT_TRUE(f.dialogs.messages.empty());

    f.AnswerLater(Reply(18));
    EXPECT_TRUE(f.Run(SelectRouterIsp(f.m, 1)));
    EXPECT_EQ(f.net.sent.back().bytes, SelectIspDatagram(1));
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(RouterWait, GivesUpAfterTwoSecondsWithItsMessage) {
    RouterMonitor f;
    DateTime start = f.clock.now;
    EXPECT_FALSE(f.Run(SetRouterClock(f.m)));
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"時間設定に失敗しました"});
    EXPECT_GE(f.ElapsedMilliseconds(start), 2000.0);
    EXPECT_LT(f.ElapsedMilliseconds(start), 2100.0);
    // One wait for the whole time: other events run meanwhile.
    EXPECT_EQ(f.steps.waits, std::vector<int>{ReplyWaitMilliseconds});

    start = f.clock.now;
    EXPECT_FALSE(f.Run(SelectRouterIsp(f.m, 2)));
    EXPECT_EQ(f.dialogs.messages.back(), "ISPの切り替えに失敗しました");
    EXPECT_GE(f.ElapsedMilliseconds(start), 2000.0);

    // Wrong replies do not end the wait early.
    RouterMonitor wrong;
    wrong.AnswerLater(Reply(20, {{4, 0x01}}));
    EXPECT_FALSE(wrong.Run(SetRouterClock(wrong.m)));
    EXPECT_EQ(wrong.dialogs.messages.size(), 1u);
}

TEST(RouterWait, AClockChangeDoesNotEndTheWait) {
    // The PC's clock set an hour ahead, then back, while the router answers
    // after a second: the wait goes on until that answer.
    for (const double jump : {1.0 / 24, -1.0 / 24}) {
        RouterMonitor f;
        f.steps.queued.push_back([&f, jump] {
            f.clock.now += jump;
            f.clock.Advance(1000);
            f.AnswerLater(Ack);
        });
        EXPECT_TRUE(f.Run(SetRouterClock(f.m)));
        EXPECT_TRUE(f.dialogs.messages.empty());
    }
}

TEST(RouterWait, AnAcknowledgementBeforeTheSendIsStale) {
    RouterMonitor f;
    f.m.s.router.CommandAcknowledged = true;  // left over from an earlier reply
    // Even one that arrives while the send itself runs the message loop.
    f.net.onSend = [&f](const SentDatagram&) { f.Deliver(Ack); };
    EXPECT_FALSE(f.Run(SetRouterClock(f.m)));
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"時間設定に失敗しました"});

    RouterMonitor isp;
    isp.m.s.router.ReportedIsp = 2;
    isp.net.onSend = [&isp](const SentDatagram&) { isp.Deliver(Reply(184, {{29, 1}})); };
    EXPECT_EQ(isp.Run(QueryRouterIsp(isp.m)), 0);
}

TEST(RouterWait, OtherEventsRunWhileItWaits) {
    RouterMonitor f;
    f.m.s.settings.SyslogEnabled = "off";
    f.steps.queued.push_back([&f] {
        const std::string line = "<30>RV4: S01: -->: ATDT0312345678";
        f.Run(OnSyslogDatagram(f.m, static_cast<int>(line.size()), line, "192.168.0.1", f.clock.now));
        f.AnswerLater(Ack);
    });
    EXPECT_TRUE(f.Run(SetRouterClock(f.m)));
    EXPECT_TRUE(f.m.s.conn.Online);
    EXPECT_TRUE(f.dialogs.messages.empty());
}

// Each waiting command ends on the same first acknowledgement.
Task<> Store(Task<bool> command, std::optional<bool>& result) { result = co_await std::move(command); }

TEST(RouterWait, WaitsThatOverlapEndOnTheFirstAcknowledgement) {
    RouterMonitor f;
    std::optional<bool> inner;
    f.steps.queued.push_back([&] {
        f.AnswerLater(Ack);
        f.m.steps.Start(Store(SetRouterClock(f.m), inner));  // e.g. a scheduled connect started meanwhile
    });
    EXPECT_TRUE(f.Run(SetRouterClock(f.m)));
    EXPECT_EQ(inner, true);
    EXPECT_EQ(f.net.sent.size(), 2u);
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(RouterIspQuery, ReturnsTheAnsweredIspOrZero) {
    RouterMonitor f;
    f.AnswerLater(Reply(184, {{29, 1}}));
    EXPECT_EQ(f.Run(QueryRouterIsp(f.m)), 2);
    EXPECT_EQ(f.net.sent.back().bytes, IspQueryDatagram(f.m.s.router));

    f.AnswerLater(Reply(372, {{43, 0}}));
    EXPECT_EQ(f.Run(QueryRouterIsp(f.m)), 1);

    // Silence: no ISP and no message.
    const DateTime start = f.clock.now;
    EXPECT_EQ(f.Run(QueryRouterIsp(f.m)), 0);
    EXPECT_EQ(f.m.s.router.ReportedIsp, NoIspReported);
    EXPECT_GE(f.ElapsedMilliseconds(start), 2000.0);
    EXPECT_TRUE(f.dialogs.messages.empty());

    // An acknowledgement is no answer to the query.
    f.AnswerLater(Ack);
    EXPECT_EQ(f.Run(QueryRouterIsp(f.m)), 0);
}

TEST(RouterIspQuery, NamesTheIspOfAMultiAccountConnection) {
    RouterMonitor f;
    f.m.s.settings.MultiAccount = true;
    f.m.s.settings.SyslogEnabled = "off";
    f.AnswerLater(Reply(184, {{29, 2}}));
    const std::string line = "<30>RV4: S01: PPP Connect successfully";
    f.Run(OnSyslogDatagram(f.m, static_cast<int>(line.size()), line, "192.168.0.1", f.clock.now));
    EXPECT_EQ(f.m.s.conn.ConnectedIsp, 3);
    EXPECT_EQ(f.m.view.Tray.Tip, "ISP3に接続中");
    EXPECT_EQ(f.net.sent,
              (std::vector<SentDatagram>{{Endpoint::Router, "192.168.0.1", IspQueryDatagram(f.m.s.router)}}));
}

TEST(RouterCommands, SendErrorsLeaveTheCommand) {
    RouterMonitor f;
    f.net.onSend = [](const SentDatagram&) { throw std::runtime_error("Host Lookup Canceled"); };
    EXPECT_THROW(f.Run(SetRouterClock(f.m)), std::runtime_error);
    EXPECT_THROW(f.Run(QueryRouterIsp(f.m)), std::runtime_error);
    EXPECT_TRUE(f.steps.waits.empty());
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(RouterCommands, AnAddressTheEndpointCannotTakeIsToldAndAwaitsNothing) {
    RouterMonitor f;
    f.net.onSend = [](const SentDatagram&) { throw RemoteHostRejected("too long"); };
    EXPECT_FALSE(f.Run(SetRouterClock(f.m)));
    EXPECT_FALSE(f.Run(SelectRouterIsp(f.m, 1)));
    EXPECT_FALSE(ConnectRouterPort(f.m, 1));
    EXPECT_FALSE(DisconnectRouterPort(f.m, 1));
    EXPECT_EQ(f.Run(QueryRouterIsp(f.m)), 0);  // silently
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>(4, "IPアドレスの割り当てに失敗しました"));
    EXPECT_TRUE(f.steps.waits.empty());
}

TEST(RouterCommands, DisconnectTakesAnAddressNumberUpTo255) {
    RouterMonitor f;
    f.m.s.router.RouterIp4 = 255;
    EXPECT_TRUE(DisconnectRouterPort(f.m, 1));
    EXPECT_EQ(f.net.sent.back().bytes[19], '\xFF');
    f.m.s.router.RouterIp4 = 256;
    EXPECT_FALSE(DisconnectRouterPort(f.m, 1));
    EXPECT_EQ(f.net.sent.size(), 1u);
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"RV4のIPアドレス指定に失敗しました"});
}

TEST(RouterCommands, DisconnectRefusesAnAddressNumberOverOneByte) {
    RouterMonitor f;
    f.m.s.router.RouterIp1 = 300;
    EXPECT_FALSE(DisconnectRouterPort(f.m, 1));
    EXPECT_TRUE(f.net.sent.empty());
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"RV4のIPアドレス指定に失敗しました"});
    // The other commands take the low byte.
    EXPECT_TRUE(ConnectRouterPort(f.m, 1));
    EXPECT_EQ(f.net.sent.back().bytes[16], static_cast<char>(300 & 0xFF));
}

}  // namespace
}  // namespace rm::test
