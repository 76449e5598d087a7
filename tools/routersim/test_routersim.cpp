#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "datagrams.h"
#include "options.h"
#include "router.h"
#include "syslog_lines.h"

extern char** environ;

namespace routersim {
namespace {

using namespace std::chrono_literals;

Bytes FromHex(std::string_view text) {
    Bytes bytes;
    std::string digits;
    std::ranges::copy_if(text, std::back_inserter(digits), [](char c) { return c != ' '; });
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

// The requests as the monitor sends them, router 192.168.0.1, 09:05:07.
const Bytes kClock = FromHex("0040 0000 410b 000a 0000000000000000 c0a80001 0009 0005 0007");
const Bytes kQuery = FromHex("0003 0000 0164 0008 0000000000000000 c0a80001 00000000");
const Bytes kConnect1 = FromHex("0002 0000 016a 0004 0000000000000000 c0a80001");
const Bytes kConnect2 = FromHex("0002 0000 016b 0004 0000000000000000 c0a80001");
const Bytes kDisconnect1 = FromHex("0002 0000 0168 0004 0000000000000000 c0a80001");
const Bytes kDisconnect2 = FromHex("0002 0000 0169 0004 0000000000000000 c0a80001");
Bytes Select(int isp) { return FromHex("0004 0000 016e 0002 0000000000000000 000" + std::to_string(isp)); }

TEST(Decoding, RecognisesEveryCommandByTypeAndCode) {
    EXPECT_EQ(DecodeCommand(kClock), (Command{CommandKind::SetRouterClock}));
    EXPECT_EQ(DecodeCommand(kQuery), (Command{CommandKind::QueryRouterIsp}));
    EXPECT_EQ(DecodeCommand(kConnect1), (Command{CommandKind::ConnectRouterPort, 1}));
    EXPECT_EQ(DecodeCommand(kConnect2), (Command{CommandKind::ConnectRouterPort, 2}));
    EXPECT_EQ(DecodeCommand(kDisconnect1), (Command{CommandKind::DisconnectRouterPort, 1}));
    EXPECT_EQ(DecodeCommand(kDisconnect2), (Command{CommandKind::DisconnectRouterPort, 2}));
    EXPECT_EQ(DecodeCommand(Select(0)), (Command{CommandKind::SelectRouterIsp, 0, 0}));
    EXPECT_EQ(DecodeCommand(Select(2)), (Command{CommandKind::SelectRouterIsp, 0, 2}));
    EXPECT_EQ(CommandName(*DecodeCommand(kDisconnect2)), "DisconnectRouterPort(2)");
    EXPECT_EQ(CommandName(*DecodeCommand(Select(1))), "SelectRouterIsp(1)");
}

TEST(Decoding, RejectsUnknownCodesShortDatagramsAndBadIspIndexes) {
    EXPECT_FALSE(DecodeCommand(Select(3)));
    EXPECT_FALSE(DecodeCommand(FromHex("0002 0000 016c 0004 0000000000000000 c0a80001")));
    EXPECT_FALSE(DecodeCommand(FromHex("0040 0000 010b 000a 0000000000000000 c0a80001 0009 0005 0007")));
    EXPECT_FALSE(DecodeCommand(std::span(kClock).first(25)));
    EXPECT_FALSE(DecodeCommand(std::span(kConnect1).first(19)));
    EXPECT_FALSE(DecodeCommand(std::span(kConnect1).first(5)));
    EXPECT_FALSE(DecodeCommand(Bytes{}));
}

TEST(Replies, AcknowledgementsEchoTheHeaderWithTheAckCode) {
    EXPECT_EQ(EncodeAck(kClock, 20), FromHex("0040 0000 810b 0004 0000000000000000 00000000"));
    EXPECT_EQ(EncodeAck(kClock, 13), FromHex("0040 0000 810b 0000 0000000000"));
    const Bytes long56 = EncodeAck(kClock, 56);
    ASSERT_EQ(long56.size(), 56u);
    EXPECT_EQ(Bytes(long56.begin(), long56.begin() + 16), FromHex("0040 0000 810b 0028 0000000000000000"));
    EXPECT_TRUE(std::all_of(long56.begin() + 16, long56.end(), [](std::uint8_t b) { return b == 0; }));
    // The ISP index in the request's payload must not come back: 00 00 is what acknowledges.
    EXPECT_EQ(EncodeAck(Select(2), 18), FromHex("0004 0000 816e 0002 0000000000000000 0000"));
}

TEST(Replies, IspAnswerCarriesTheIndexWhereTheMonitorReadsIt) {
    const Bytes short184 = EncodeIspAnswer(kQuery, 184, 2);
    ASSERT_EQ(short184.size(), 184u);
    EXPECT_EQ(short184[4], 0x81);
    EXPECT_EQ(short184[29], 2);
    EXPECT_EQ(std::count(short184.begin() + 16, short184.end(), 0), 184 - 16 - 1);
    const Bytes long372 = EncodeIspAnswer(kQuery, 372, 1);
    ASSERT_EQ(long372.size(), 372u);
    EXPECT_EQ(long372[43], 1);
    EXPECT_EQ(long372[29], 0);
}

TEST(SyslogLines, FramingFollowsRfc3164) {
    std::tm t{};
    t.tm_mon = 11, t.tm_mday = 7, t.tm_hour = 9, t.tm_min = 5, t.tm_sec = 7;
    EXPECT_EQ(FrameSyslog("S01: Connect successfully", t), "<30>Dec  7 09:05:07 rv4 S01: Connect successfully");
    t.tm_mon = 0, t.tm_mday = 17, t.tm_hour = 23;
    EXPECT_EQ(FrameSyslog("x", t), "<30>Jan 17 23:05:07 rv4 x");
}

std::vector<std::string> Texts(const std::vector<SyslogLine>& lines) {
    std::vector<std::string> texts;
    for (const auto& line : lines) texts.push_back(line.text);
    return texts;
}

bool AnyContains(const std::vector<std::string>& texts, std::string_view phrase) {
    return std::ranges::any_of(texts, [&](const std::string& t) { return t.find(phrase) != std::string::npos; });
}

TEST(SyslogLines, ConnectedCallReportsDialSpeedConnectAndAddressInOrder) {
    const DialSettings settings{"0312345678", "33600", "198.51.100.9"};
    const auto texts = Texts(DialLines(1, DialOutcome::Connected, settings));
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_TRUE(std::ranges::all_of(texts, [](const std::string& t) { return t.starts_with("S01: "); }));
    EXPECT_EQ(texts[2], "S01: -->: ATD0312345678");
    EXPECT_EQ(texts[3], "S01: <--: CONNECT 33600");
    EXPECT_EQ(texts[4], "S01: Connect successfully");
    EXPECT_TRUE(texts[5].starts_with("S01: IPCP UP. My IP=198.51.100.9,"));
}

TEST(SyslogLines, PortTwoLinesNeverMentionPortOne) {
    for (const auto outcome : {DialOutcome::Connected, DialOutcome::Busy, DialOutcome::NoCarrier}) {
        auto texts = Texts(DialLines(2, outcome, {}));
        const auto hangUp = Texts(HangUpLines(2));
        texts.insert(texts.end(), hangUp.begin(), hangUp.end());
        EXPECT_FALSE(AnyContains(texts, "S01:"));
        EXPECT_TRUE(std::ranges::all_of(texts, [](const std::string& t) { return t.starts_with("S02: "); }));
    }
}

TEST(SyslogLines, FailedCallsDialThenHangUpWithoutConnecting) {
    const auto busy = Texts(DialLines(1, DialOutcome::Busy, {}));
    EXPECT_EQ(busy, (std::vector<std::string>{"S01: -->: ATZ", "S01: <--: OK", "S01: -->: ATD0570123456",
                                              "S01: <--: BUSY", "S01: Disconnect successfully"}));
    const auto unanswered = Texts(DialLines(1, DialOutcome::NoCarrier, {}));
    EXPECT_TRUE(AnyContains(unanswered, "ATD"));
    EXPECT_EQ(unanswered.back(), "S01: Disconnect successfully");
    for (const char* phrase : {"Connect successfully", "<--: CONNECT", "<--: CARRIER", "BUSY", "IPCP UP"})
        EXPECT_FALSE(AnyContains(unanswered, phrase)) << phrase;
    EXPECT_EQ(Texts(HangUpLines(1)), std::vector<std::string>{"S01: Disconnect successfully"});
}

// A router driven in virtual time; every call's lines come out at once.
struct InstantRouter {
    explicit InstantRouter(Options o = {}) : router([&] {
        o.delayScale = 0;
        return o;
    }()) {}
    Router::Reaction Send(const Bytes& datagram) { return router.Receive(datagram, now); }
    std::vector<std::string> Lines() { return router.TakeDueLines(now); }
    std::vector<std::string> Call(const Bytes& datagram) {
        Send(datagram);
        return Lines();
    }
    Router router;
    Router::Clock::time_point now{};
};

TEST(Router, AnswersTheWaitingCommandsInTheChosenForms) {
    InstantRouter r;
    EXPECT_EQ(r.Send(kClock).reply->bytes, EncodeAck(kClock, 20));
    EXPECT_EQ(r.Send(Select(2)).reply->bytes, EncodeAck(Select(2), 18));
    EXPECT_EQ(r.Send(kQuery).reply->bytes, EncodeIspAnswer(kQuery, 184, 2));
    EXPECT_FALSE(r.Send(kConnect1).reply);
    EXPECT_FALSE(r.Send(kDisconnect1).reply);
    EXPECT_FALSE(r.Send(FromHex("0001 0000 0101 0000")).command);

    Options o;
    o.ackForm = 56, o.selectAckForm = 13, o.ispAnswerForm = 372;
    InstantRouter other(o);
    EXPECT_EQ(other.Send(kQuery).reply->bytes, EncodeIspAnswer(kQuery, 372, 0));
    EXPECT_EQ(other.Send(kClock).reply->bytes.size(), 56u);
    EXPECT_EQ(other.Send(Select(1)).reply->bytes.size(), 13u);
    EXPECT_EQ(other.Send(kQuery).reply->bytes[43], 1);
}

TEST(Router, LateAndSilentRouters) {
    Options late;
    late.late = 1500ms;
    InstantRouter slow(late);
    EXPECT_EQ(slow.Send(kClock).reply->due, slow.now + 1500ms);

    Options silent;
    silent.noAnswer = true;
    InstantRouter mute(silent);
    const auto reaction = mute.Send(kClock);
    EXPECT_EQ(reaction.command, (Command{CommandKind::SetRouterClock}));
    EXPECT_FALSE(reaction.reply);
    EXPECT_TRUE(mute.Call(kConnect1).empty());
    EXPECT_FALSE(mute.Send(kQuery).reply);
}

TEST(Router, LinesComeOutAfterTheirPauses) {
    Router router{Options{}};
    const Router::Clock::time_point start{};
    router.Receive(kConnect1, start);
    EXPECT_EQ(router.NextLineDue(), start + 100ms);
    EXPECT_TRUE(router.TakeDueLines(start + 99ms).empty());
    EXPECT_EQ(router.TakeDueLines(start + 500ms), (std::vector<std::string>{"S01: -->: ATZ", "S01: <--: OK",
                                                                          "S01: -->: ATD0570123456"}));
    EXPECT_EQ(router.TakeDueLines(start + 10s).size(), 3u);
    EXPECT_FALSE(router.NextLineDue());
}

TEST(Router, ConnectAndDisconnectFollowThePortsState) {
    InstantRouter r;
    EXPECT_TRUE(r.Call(kDisconnect1).empty());
    r.Send(kConnect1);
    r.Send(kConnect1);  // already dialling
    EXPECT_EQ(r.Lines().size(), 6u);
    EXPECT_TRUE(r.Call(kConnect1).empty());  // already up
    EXPECT_EQ(r.Call(kConnect2).size(), 6u);
    EXPECT_EQ(r.Call(kDisconnect1), std::vector<std::string>{"S01: Disconnect successfully"});
    EXPECT_TRUE(r.Call(kDisconnect1).empty());
    EXPECT_EQ(r.Call(kConnect1).size(), 6u);
}

TEST(Router, DisconnectWhileDiallingDropsTheRestOfTheCall) {
    Router router{Options{}};
    const Router::Clock::time_point start{};
    router.Receive(kConnect2, start);
    router.Receive(kConnect1, start);
    EXPECT_EQ(router.TakeDueLines(start + 600ms).size(), 6u);  // three lines of each port
    router.Receive(kDisconnect1, start + 600ms);
    const auto rest = router.TakeDueLines(start + 10s);
    EXPECT_EQ(std::ranges::count(rest, "S01: Disconnect successfully"), 1);
    EXPECT_FALSE(AnyContains(rest, "S01: <--"));
    EXPECT_TRUE(AnyContains(rest, "S02: Connect successfully"));
    EXPECT_EQ(rest.size(), 4u);
}

TEST(Router, FailuresComeFirstThenTheCallsSucceed) {
    Options o;
    o.busyTimes = 2, o.failTimes = 1;
    InstantRouter r(o);
    EXPECT_EQ(r.Call(kConnect1), Texts(DialLines(1, DialOutcome::Busy, {})));
    EXPECT_EQ(r.Call(kConnect1), Texts(DialLines(1, DialOutcome::Busy, {})));
    EXPECT_EQ(r.Call(kConnect1), Texts(DialLines(1, DialOutcome::NoCarrier, {})));
    EXPECT_EQ(r.Call(kConnect1), Texts(DialLines(1, DialOutcome::Connected, {})));

    Options always;
    always.fail = true;
    InstantRouter never(always);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(never.Call(kConnect2), Texts(DialLines(2, DialOutcome::NoCarrier, {})));
}

TEST(Router, RedialDuringAFailingCallDialsOnceTheModemHasHungUp) {
    Options o;
    o.busyTimes = 1;
    InstantRouter r(o);
    r.Send(kConnect1);
    r.Send(kConnect1);  // the monitor redials on the BUSY line, before the hang-up
    const auto lines = r.Lines();
    const auto connected = Texts(DialLines(1, DialOutcome::Connected, {}));
    ASSERT_EQ(lines.size(), Texts(DialLines(1, DialOutcome::Busy, {})).size() + connected.size());
    EXPECT_EQ(std::vector(lines.end() - static_cast<long>(connected.size()), lines.end()), connected);

    InstantRouter up;
    up.Call(kConnect1);
    EXPECT_TRUE(up.Call(kConnect1).empty());  // a call that connects is not dialled twice
}

std::vector<std::string_view> Args(std::initializer_list<std::string_view> args) { return args; }

TEST(Options, RejectsWhatTheRouterCannotDo) {
    for (const auto& bad : {Args({"--ack-form", "21"}), Args({"--isp-form", "20"}), Args({"--listen", "router"}),
                            Args({"--syslog-port", "70000"}), Args({"--late"}), Args({"--delay-scale", "-1"}),
                            Args({"--number", "05 70"}), Args({"--broadcast"})})
        EXPECT_THROW(ParseOptions(bad), std::invalid_argument) << bad[0];
}

// The real program over loopback.
class UdpSocket {
public:
    UdpSocket() : fd_(::socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in local = Loopback(0);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) throw std::runtime_error("bind");
    }
    ~UdpSocket() { ::close(fd_); }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    static sockaddr_in Loopback(std::uint16_t port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    std::uint16_t Port() const {
        sockaddr_in a{};
        socklen_t length = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length);
        return ntohs(a.sin_port);
    }
    void SendTo(std::uint16_t port, const Bytes& bytes) const {
        const sockaddr_in to = Loopback(port);
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    // Empty when nothing came within the bound, which only a fault exceeds.
    std::string Receive() const {
        pollfd readable{fd_, POLLIN, 0};
        if (::poll(&readable, 1, 10000) != 1) return {};
        std::string data(2048, '\0');
        const ssize_t length = ::recv(fd_, data.data(), data.size(), 0);
        data.resize(static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
        return data;
    }
    // Stops at the first datagram that does not come.
    std::vector<std::string> ReceiveAll(std::size_t count) const {
        std::vector<std::string> received;
        for (std::string data; received.size() < count && !(data = Receive()).empty();) received.push_back(data);
        return received;
    }

private:
    int fd_;
};

class RunningSimulator {
public:
    explicit RunningSimulator(std::vector<std::string> options) {
        options.insert(options.begin(), {ROUTERSIM_EXE, "--listen", "127.0.0.1", "--port", std::to_string(port)});
        std::vector<char*> argv;
        for (auto& o : options) argv.push_back(o.data());
        argv.push_back(nullptr);
        int out[2];
        if (::pipe(out) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const int spawned = posix_spawn(&pid_, ROUTERSIM_EXE, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (spawned != 0) throw std::runtime_error("spawn");
        stdout_ = out[0];
    }
    ~RunningSimulator() {
        if (pid_ > 0) Stop();
        ::close(stdout_);
    }
    RunningSimulator(const RunningSimulator&) = delete;
    RunningSimulator& operator=(const RunningSimulator&) = delete;

    std::string ReadLine() {
        std::string line;
        char c;
        pollfd readable{stdout_, POLLIN, 0};
        while (::poll(&readable, 1, 10000) == 1 && ::read(stdout_, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }
    int Stop() {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

    const std::uint16_t port = FreePort();

private:
    static std::uint16_t FreePort() { return UdpSocket().Port(); }
    pid_t pid_ = -1;
    int stdout_ = -1;
};

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(OverLoopback, RepliesToTheSenderAndSendsTheCallToItsSyslogPort) {
    UdpSocket pc, syslog;
    const auto log = std::filesystem::path(::testing::TempDir()) / "routersim_loopback.log";
    std::filesystem::remove(log);
    RunningSimulator sim({"--syslog-port", std::to_string(syslog.Port()), "--delay-scale", "0", "--wan",
                          "198.51.100.7", "--log", log.string()});
    ASSERT_EQ(sim.ReadLine(), "ready");

    pc.SendTo(sim.port, kClock);
    EXPECT_EQ(pc.Receive(), Text(EncodeAck(kClock, 20)));
    pc.SendTo(sim.port, kConnect1);
    const auto received = syslog.ReceiveAll(6);
    ASSERT_EQ(received.size(), 6u);
    EXPECT_TRUE(received[2].starts_with("<30>"));
    EXPECT_TRUE(received[2].ends_with(" rv4 S01: -->: ATD0570123456")) << received[2];
    EXPECT_TRUE(received[4].ends_with(" rv4 S01: Connect successfully")) << received[4];
    EXPECT_NE(received[5].find("S01: IPCP UP. My IP=198.51.100.7,"), std::string::npos) << received[5];
    pc.SendTo(sim.port, kDisconnect1);
    EXPECT_EQ(syslog.ReceiveAll(1).at(0).substr(20), "rv4 S01: Disconnect successfully");

    const int status = sim.Stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream file(log);
    std::vector<std::string> loggedHex;
    for (std::string line; std::getline(file, line);)
        if (line.find(" recv 127.0.0.1:" + std::to_string(pc.Port()) + " ") != std::string::npos)
            loggedHex.push_back(line.substr(line.rfind(' ') + 1));
    EXPECT_EQ(loggedHex, (std::vector<std::string>{Hex(kClock), Hex(kConnect1), Hex(kDisconnect1)}));
}

}  // namespace
}  // namespace routersim
