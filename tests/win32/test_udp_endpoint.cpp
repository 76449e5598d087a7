#include "udp_endpoint.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <string_view>
#include <thread>

#include "app_messages.h"
#include "local_time.h"
#include "pump.h"

namespace rm::win {
namespace {

constexpr int EndpointPort = 41514;
constexpr int PeerPort = 41515;
constexpr int SharedPort = 41516;
constexpr int BurstPort = 41517;
constexpr int ReleasePort = 41518;

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    return address;
}

struct Datagram {
    std::string bytes;
    int fromPort = 0;
};

// The other end: a plain socket on loopback.
class Peer {
public:
    explicit Peer(int port) {
        winsock_.Start();
        socket_ = UniqueSocket(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
        const sockaddr_in local = Loopback(port);
        bind(socket_.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local);
    }

    void SendTo(int port, std::string_view bytes) {
        const sockaddr_in to = Loopback(port);
        sendto(socket_.get(), bytes.data(), static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to);
    }

    // Waits a generous bound so that a missing datagram fails instead of hanging.
    std::optional<Datagram> Receive() {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(socket_.get(), &ready);
        timeval bound{10, 0};
        if (select(0, &ready, nullptr, nullptr, &bound) != 1) return std::nullopt;
        char buffer[4096];
        sockaddr_in from{};
        int fromLength = sizeof from;
        const int count =
            recvfrom(socket_.get(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (count < 0) return std::nullopt;
        return Datagram{std::string(buffer, static_cast<std::size_t>(count)), ntohs(from.sin_port)};
    }

private:
    WinsockUse winsock_;
    UniqueSocket socket_;
};

struct Received {
    int byteCount;
    std::string senderAddress;
    int port;
    int readLength;
    std::string data;
};

template <class F>
std::string ThrownText(F action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    return bytes;
}

// A full-size datagram that names its place in a sequence.
std::string Numbered(int number) {
    std::string bytes = Pattern(UdpEndpoint::BufferSize);
    char label[8];
    std::snprintf(label, sizeof label, "%05d", number);
    bytes.replace(0, 5, label);
    return bytes;
}

int ThreadsOfThisProcess() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{sizeof entry};
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// Datagrams to a loopback port from another thread, in bursts, until destroyed.
class Flood {
public:
    explicit Flood(int port)
        : sender_([this, port] {
              Peer peer{PeerPort};
              while (running_) {
                  for (int i = 0; i < 20; ++i) peer.SendTo(port, "flood");
                  Sleep(1);
              }
          }) {}
    Flood(const Flood&) = delete;
    Flood& operator=(const Flood&) = delete;
    ~Flood() {
        running_ = false;
        sender_.join();
    }

private:
    std::atomic<bool> running_ = true;
    std::thread sender_;
};

class UdpEndpointTest : public ::testing::Test {
protected:
    UdpEndpointTest() {
        udp.SetLocalPort(EndpointPort);
        udp.RemoteHost = "127.0.0.1";
        udp.RemotePort = PeerPort;
        udp.OnDataReceived = [this](UdpEndpoint& sender, int byteCount, const std::string& senderAddress, int port) {
            char buffer[UdpEndpoint::BufferSize];
            int length = 0;
            sender.ReadBuffer(buffer, sizeof buffer, length);
            received.push_back({byteCount, senderAddress, port, length,
                                std::string(buffer, static_cast<std::size_t>(std::max(length, 0)))});
        };
        udp.OnDataSend = [this](UdpEndpoint&) { ++sends; };
        udp.OnSendFailed = [this](UdpEndpoint&, const std::string& error) { failures.push_back(error); };
    }

    bool PumpUntilReceived(std::size_t count) {
        return PumpUntil([&] { return received.size() >= count; });
    }

    // Sends to a name go once it is looked up, on the thread's message loop.
    bool PumpUntilSentOrFailed(int count) {
        return PumpUntil([&] { return sends + static_cast<int>(failures.size()) >= count; });
    }

    // Nothing was sent before: the next datagram the peer gets is a fresh marker.
    void ExpectNothingSent() {
        udp.RemoteHost = "127.0.0.1";
        udp.SendBuffer("marker", 6);
        const auto first = peer.Receive();
        ASSERT_TRUE(first);
        EXPECT_EQ(first->bytes, "marker");
    }

    UdpEndpoint udp;
    Peer peer{PeerPort};
    std::vector<Received> received;
    int sends = 0;
    std::vector<std::string> failures;
};

using UdpReceiving = UdpEndpointTest;

TEST_F(UdpReceiving, EmptyAndFullSizeDatagramsAreReportedWhole) {
    const std::string full = Pattern(UdpEndpoint::BufferSize);
    peer.SendTo(EndpointPort, "");
    peer.SendTo(EndpointPort, full);
    ASSERT_TRUE(PumpUntilReceived(2));
    EXPECT_EQ(received[0].byteCount, 0);
    EXPECT_EQ(received[0].readLength, 0);
    EXPECT_EQ(received[1].byteCount, UdpEndpoint::BufferSize);
    EXPECT_EQ(received[1].data, full);
}

TEST_F(UdpReceiving, OversizedDatagramIsAFailedRead) {
    peer.SendTo(EndpointPort, Pattern(UdpEndpoint::BufferSize + 1));
    peer.SendTo(EndpointPort, "after");
    ASSERT_TRUE(PumpUntilReceived(2));
    EXPECT_EQ(received[0].byteCount, -1);
    EXPECT_EQ(received[0].readLength, -1);
    EXPECT_EQ(received[1].data, "after");
}

TEST_F(UdpReceiving, QueuedDatagramsAreReportedInTurnEachWithItsOwnData) {
    peer.SendTo(EndpointPort, "first");
    peer.SendTo(EndpointPort, "second");
    ASSERT_TRUE(PumpUntilReceived(2));
    EXPECT_EQ(received[0].byteCount, 5);
    EXPECT_EQ(received[0].data, "first");
    EXPECT_EQ(received[1].byteCount, 6);
    EXPECT_EQ(received[1].data, "second");
}

TEST_F(UdpReceiving, SenderAddressAndPortAreReported) {
    peer.SendTo(EndpointPort, "x");
    ASSERT_TRUE(PumpUntilReceived(1));
    EXPECT_EQ(received[0].senderAddress, "127.0.0.1");
    EXPECT_EQ(received[0].port, PeerPort);
}

TEST_F(UdpReceiving, ReadBufferStopsAtTheCallersSize) {
    std::string copied;
    int length = 0;
    udp.OnDataReceived = [&](UdpEndpoint& sender, int, const std::string&, int) {
        char buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        sender.ReadBuffer(buffer, 4, length);
        copied.assign(buffer, sizeof buffer);
    };
    peer.SendTo(EndpointPort, "abcdefgh");
    ASSERT_TRUE(PumpUntil([&] { return !copied.empty(); }));
    EXPECT_EQ(length, 4);
    EXPECT_EQ(copied, "abcd############");
}

TEST_F(UdpReceiving, ReadStreamWritesAtThePositionAndRewinds) {
    std::stringstream stream("XY");
    bool done = false;
    udp.OnDataReceived = [&](UdpEndpoint& sender, int, const std::string&, int) {
        stream.seekp(1);
        sender.ReadStream(stream);
        done = true;
    };
    peer.SendTo(EndpointPort, "data");
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    EXPECT_EQ(stream.str(), "Xdata");
    EXPECT_EQ(stream.tellg(), 0);
    EXPECT_EQ(stream.tellp(), 0);
}

TEST_F(UdpReceiving, DatagramsSentWhileTheGuiThreadSleepsAreAllHandledInOrder) {
    // Full-size datagrams: more than the socket's own buffer holds.
    constexpr int Count = 300;
    std::thread sender([] {
        Peer burst{BurstPort};
        for (int i = 0; i < Count; ++i) {
            burst.SendTo(EndpointPort, Numbered(i));
            Sleep(3);
        }
    });
    // No message loop runs meanwhile.
    Sleep(1000);
    sender.join();
    ASSERT_TRUE(PumpUntilReceived(Count)) << received.size() << " handled";
    ASSERT_EQ(received.size(), static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i) {
        const Received& got = received[static_cast<std::size_t>(i)];
        ASSERT_EQ(got.data.substr(0, 5), Numbered(i).substr(0, 5));
        ASSERT_EQ(got.byteCount, UdpEndpoint::BufferSize);
        ASSERT_EQ(got.data, Numbered(i));
        ASSERT_EQ(got.port, BurstPort);
    }
}

TEST_F(UdpReceiving, AHandlerRunningTheMessageLoopGetsTheNextDatagramThere) {
    std::vector<std::string> events;
    udp.OnDataReceived = [&](UdpEndpoint& sender, int byteCount, const std::string&, int) {
        std::string data(static_cast<std::size_t>(byteCount), '\0');
        int length = 0;
        sender.ReadBuffer(data.data(), byteCount, length);
        events.push_back("begin " + data);
        if (data == "outer") PumpUntil([&] { return events.size() >= 3; });
        events.push_back("end " + data);
    };
    peer.SendTo(EndpointPort, "outer");
    peer.SendTo(EndpointPort, "inner");
    ASSERT_TRUE(PumpUntil([&] { return events.size() >= 4; }));
    EXPECT_EQ(events, (std::vector<std::string>{"begin outer", "begin inner", "end inner", "end outer"}));
}

TEST_F(UdpReceiving, AWakeUpLostFromTheMessageQueueIsMadeGoodWithinATick) {
    peer.SendTo(EndpointPort, "first");
    // Taken off the queue and dropped, as a box ended by a sent click does;
    // nothing else is dispatched meanwhile.
    MSG lost;
    int waited = 0;
    while (!PeekMessageW(&lost, nullptr, DatagramQueuedMessage, DatagramQueuedMessage, PM_REMOVE)) {
        ASSERT_LT(waited += 10, 10000) << "no wake-up came";
        Sleep(10);
    }
    // A later datagram finds its wake-up still owed and posts none of its own.
    peer.SendTo(EndpointPort, "second");
    ASSERT_TRUE(PumpUntilReceived(2)) << received.size() << " handled";
    EXPECT_EQ(received[0].data, "first");
    EXPECT_EQ(received[1].data, "second");
}

TEST_F(UdpReceiving, EachDatagramKeepsTheTimeItArrived) {
    std::vector<DateTime> arrived;
    udp.OnDataReceived = [&](UdpEndpoint& sender, int, const std::string&, int) {
        arrived.push_back(sender.ArrivedAt());
    };
    peer.SendTo(EndpointPort, "early");
    // The handler comes to it well after it arrived.
    Sleep(1500);
    const DateTime handledFrom = LocalNow();
    ASSERT_TRUE(PumpUntil([&] { return !arrived.empty(); }));
    EXPECT_LT(arrived[0], handledFrom - 1.0 / 86400);
    EXPECT_GT(arrived[0], handledFrom - 10.0 / 86400);
}

using UdpSending = UdpEndpointTest;

TEST_F(UdpSending, BufferArrivesFromTheBoundPort) {
    udp.SendBuffer("hello", 5);
    const auto got = peer.Receive();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, "hello");
    EXPECT_EQ(got->fromPort, EndpointPort);
    EXPECT_EQ(sends, 1);
}

TEST_F(UdpSending, HostNameIsLookedUp) {
    udp.RemoteHost = "localhost";
    udp.SendBuffer("by name", 7);
    ASSERT_TRUE(PumpUntilSentOrFailed(1));
    const auto got = peer.Receive();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, "by name");
}

TEST_F(UdpSending, StreamIsSentFromItsStartAndAtMostOneBuffer) {
    std::stringstream stream;
    stream << "report";
    stream.seekg(0, std::ios::end);
    udp.SendStream(stream);
    auto got = peer.Receive();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, "report");

    const std::string large = Pattern(UdpEndpoint::BufferSize + 100);
    std::stringstream oversized(large);
    udp.SendStream(oversized);
    got = peer.Receive();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, large.substr(0, UdpEndpoint::BufferSize));
}

TEST_F(UdpSending, NullRemoteAddressSendsNothing) {
    udp.RemoteHost = "0.0.0.0";
    EXPECT_EQ(ThrownText([&] { udp.SendBuffer("lost", 4); }), "Null Remote Address");
    EXPECT_THROW(udp.SendBuffer("lost", 4), UDPSockError);
    EXPECT_EQ(sends, 0);
    ExpectNothingSent();
}

// What a handler for empty input does: set handled, and supply data.
struct Supply {
    bool handled;
    std::string data;
};

TEST_F(UdpSending, EmptyBufferGetsOneChanceFromTheHandler) {
    EXPECT_EQ(ThrownText([&] { udp.SendBuffer("", 0); }), "Invalid buffer");
    for (const Supply& supply : {Supply{false, "declined"}, Supply{true, ""}}) {
        int calls = 0;
        udp.OnBufferInvalid = [&](bool& handled, std::vector<char>& buff) {
            ++calls;
            handled = supply.handled;
            buff.assign(supply.data.begin(), supply.data.end());
        };
        EXPECT_EQ(ThrownText([&] { udp.SendBuffer("", 0); }), "Invalid buffer") << supply.data;
        EXPECT_EQ(calls, 1);
    }
    ExpectNothingSent();

    udp.OnBufferInvalid = [](bool& handled, std::vector<char>& buff) {
        buff.assign({'s', 'u', 'p'});
        handled = true;
    };
    udp.SendBuffer("", 0);
    const auto got = peer.Receive();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, "sup");
}

TEST_F(UdpSending, EmptyStreamGetsOneChanceFromTheHandler) {
    std::stringstream unhandled;
    EXPECT_EQ(ThrownText([&] { udp.SendStream(unhandled); }), "Invalid stream");
    for (const Supply& supply : {Supply{false, "declined"}, Supply{true, ""}}) {
        std::stringstream empty;
        int calls = 0;
        udp.OnStreamInvalid = [&](bool& handled, std::iostream& stream) {
            EXPECT_EQ(&stream, &empty);
            ++calls;
            handled = supply.handled;
            stream << supply.data;
        };
        EXPECT_EQ(ThrownText([&] { udp.SendStream(empty); }), "Invalid stream") << supply.data;
        EXPECT_EQ(calls, 1);
    }
    ExpectNothingSent();

    udp.OnStreamInvalid = [](bool& handled, std::iostream& stream) {
        stream << "filled";
        handled = true;
    };
    std::stringstream empty;
    udp.SendStream(empty);
    const auto got = peer.Receive();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, "filled");
}

TEST_F(UdpSending, RemoteHostIsLimitedTo127Characters) {
    int lookupFailures = 0;
    udp.OnInvalidHost = [&](bool&) { ++lookupFailures; };
    udp.RemoteHost = std::string(128, 'a');
    EXPECT_EQ(ThrownText([&] { udp.SendBuffer("x", 1); }), "Remote host name too long (over 127 characters)");
    EXPECT_THROW(udp.SendBuffer("x", 1), UDPSockError);
    EXPECT_EQ(lookupFailures, 0);

    udp.RemoteHost = std::string(127 - 8, 'a') + ".invalid";
    udp.SendBuffer("x", 1);
    ASSERT_TRUE(PumpUntilSentOrFailed(1));
    EXPECT_EQ(failures, std::vector<std::string>{"Host Lookup Canceled"});
    EXPECT_EQ(lookupFailures, 1);
    ExpectNothingSent();
}

using UdpHostLookup = UdpEndpointTest;

TEST_F(UdpHostLookup, HandlerIsAskedOnceWhetherOrNotItHandles) {
    udp.RemoteHost = "nowhere.invalid";
    for (const bool handles : {false, true}) {
        failures.clear();
        int calls = 0;
        // Only a first call may handle, so a component that keeps asking stops.
        udp.OnInvalidHost = [&](bool& handled) { handled = ++calls == 1 && handles; };
        udp.SendBuffer("x", 1);
        ASSERT_TRUE(PumpUntilSentOrFailed(1)) << handles;
        EXPECT_EQ(failures, std::vector<std::string>{"Host Lookup Canceled"}) << handles;
        EXPECT_EQ(calls, 1) << handles;
    }
    EXPECT_EQ(sends, 0);
}

// Datagrams leave in the order they were sent, whatever waits for a lookup;
// a name that is not found is told once for the datagrams that waited for it.
TEST_F(UdpHostLookup, DatagramsWaitInOrderBehindALookup) {
    struct Send {
        std::string host, bytes;
    };
    struct Row {
        const char* name;
        std::vector<Send> sends;
        std::vector<std::string> arrived, failures;
    };
    const Row rows[] = {
        {"an address behind a name waits for it",
         {{"localhost", "1"}, {"127.0.0.1", "2"}, {"localhost", "3"}},
         {"1", "2", "3"},
         {}},
        {"a name not found goes, the rest follows",
         {{"nowhere.invalid", "1"}, {"nowhere.invalid", "2"}, {"127.0.0.1", "3"}, {"localhost", "4"}},
         {"3", "4"},
         {"Host Lookup Canceled"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        sends = 0;
        failures.clear();
        for (const Send& send : row.sends) {
            udp.RemoteHost = send.host;
            udp.SendBuffer(send.bytes.data(), static_cast<int>(send.bytes.size()));
        }
        EXPECT_EQ(sends, 0) << "nothing leaves before the first lookup's answer";
        ASSERT_TRUE(PumpUntil([&] {
            return sends == static_cast<int>(row.arrived.size()) && failures.size() == row.failures.size();
        }));
        for (const std::string& expected : row.arrived) {
            const auto got = peer.Receive();
            ASSERT_TRUE(got);
            EXPECT_EQ(got->bytes, expected);
        }
        EXPECT_EQ(failures, row.failures);
    }
}

TEST(UdpDottedAddress, OnlyADottedAddressOtherThanNoneIsUsedDirectly) {
    WinsockUse winsock;
    winsock.Start();
    const auto address = DottedAddress("10.0.0.255");
    ASSERT_TRUE(address);
    const auto* b = reinterpret_cast<const unsigned char*>(&*address);
    EXPECT_EQ((std::vector<int>{b[0], b[1], b[2], b[3]}), (std::vector<int>{10, 0, 0, 255}));
    EXPECT_FALSE(DottedAddress("255.255.255.255"));
    EXPECT_FALSE(DottedAddress("router.lan"));
}

TEST(UdpBinding, APortHeldByAnotherEndpointIsNotBound) {
    UdpEndpoint first;
    UdpEndpoint second;
    EXPECT_FALSE(first.Bound());
    first.SetLocalPort(SharedPort);
    EXPECT_TRUE(first.Bound());
    EXPECT_EQ(first.LocalPort(), SharedPort);
    second.SetLocalPort(SharedPort);
    EXPECT_FALSE(second.Bound());
    first.SetLocalPort(SharedPort);
    EXPECT_TRUE(first.Bound()) << "setting the same port again re-binds it";
}

int SocketOption(SOCKET s, int name) {
    int value = 0;
    int length = sizeof value;
    if (getsockopt(s, SOL_SOCKET, name, reinterpret_cast<char*>(&value), &length) != 0) return -1;
    return value;
}

TEST_F(UdpEndpointTest, SocketMayBroadcastHoldsItsPortAloneAndHasTheLargerBuffer) {
    UdpEndpoint unbound;
    for (const UdpEndpoint* endpoint : {&udp, &unbound}) {
        EXPECT_EQ(SocketOption(endpoint->Socket(), SO_BROADCAST), 1);
        EXPECT_EQ(SocketOption(endpoint->Socket(), SO_EXCLUSIVEADDRUSE), 1);
        EXPECT_GE(SocketOption(endpoint->Socket(), SO_RCVBUF), 256 * 1024);
    }
}

TEST(UdpRelease, EndpointsGoCleanlyWhileDatagramsPourIn) {
    Flood flood(ReleasePort);
    const int threadsBefore = ThreadsOfThisProcess();
    for (int round = 0; round < 10; ++round) {
        int handled = 0;
        UdpEndpoint endpoint;
        endpoint.OnDataReceived = [&](UdpEndpoint&, int, const std::string&, int) { ++handled; };
        for (int socket = 0; socket < 2; ++socket) {
            // The second time re-creates the socket while datagrams arrive.
            endpoint.SetLocalPort(ReleasePort);
            ASSERT_TRUE(endpoint.Bound()) << round;
            const int before = handled;
            ASSERT_TRUE(PumpUntil([&] { return handled > before + 50; })) << round;
        }
        // Leaves with datagrams queued and more arriving.
    }
    EXPECT_LE(ThreadsOfThisProcess(), threadsBefore) << "a receiving thread outlived its endpoint";
    UdpEndpoint successor;
    successor.SetLocalPort(ReleasePort);
    EXPECT_TRUE(successor.Bound());
}

TEST_F(UdpEndpointTest, StatusIsReportedUpToReportLevel) {
    std::vector<std::string> statuses;
    udp.OnStatus = [&](UdpEndpoint&, const std::string& status) { statuses.push_back(status); };
    udp.SendBuffer("quiet", 5);
    EXPECT_TRUE(statuses.empty());
    udp.ReportLevel = 2;
    udp.SendBuffer("loud", 4);
    EXPECT_EQ(statuses, std::vector<std::string>{"Sending Data"});
    EXPECT_EQ(udp.Status(), "Sending Data");
}

}  // namespace
}  // namespace rm::win
