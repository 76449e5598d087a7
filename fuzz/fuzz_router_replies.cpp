// Any datagrams on the router port, alone or while a command waits for its
// reply: handling them never fails and only ever sets the acknowledgement or
// a ReportedIsp of 1..256 taken from the reply; every wait ends within its
// time on the monotonic clock, and a command that gives up says so.
//
// Input: records, each an operation byte and a delay byte (milliseconds
// before it arrives), then for a datagram two bytes of length and the bytes.
// Operation & 7: 0..2 a datagram (op >> 3 picks how its NumberBytes is
// reported), 3 set the clock, 4 ask the ISP, 5 select an ISP, 6 the user sets
// the wall clock, 7 the endpoint starts or stops rejecting the router's
// address. While a command waits, the records arrive as events inside it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fakes.h"
#include "router/router_commands.h"
#include "fuzz_checks.h"

namespace {

constexpr std::size_t MaxReply = 2048;  // the endpoint's buffer
// Commands arriving inside waits nest no deeper than this.
constexpr int MaxDepth = 6;
constexpr int Lengths[] = {13, 18, 20, 56, 184, 372};
constexpr int SliceLimit = 100;

struct Record {
    std::uint8_t op = 0, delay = 0;
    std::string_view bytes;
};

struct Input {
    std::string_view data;
    std::size_t pos = 0;

    bool Done() const { return pos + 2 > data.size(); }
    Record Peek(std::size_t* end = nullptr) const {
        Record r{static_cast<std::uint8_t>(data[pos]), static_cast<std::uint8_t>(data[pos + 1]), {}};
        std::size_t at = pos + 2;
        if ((r.op & 7) <= 2 && at + 2 <= data.size()) {
            const std::size_t length =
                ((static_cast<std::size_t>(static_cast<unsigned char>(data[at])) << 8) |
                 static_cast<unsigned char>(data[at + 1])) % (MaxReply + 1);
            at += 2;
            r.bytes = data.substr(at, length);
            at += r.bytes.size();
        }
        if (end) *end = at;
        return r;
    }
    Record Take() {
        std::size_t end = 0;
        const Record r = Peek(&end);
        pos = end;
        return r;
    }
};

struct Run;

// The message loop of a wait: the next record arrives when its delay fits in
// the slice; otherwise the slice passes with nothing.
class ReplyEvents : public rm::EventPort {
public:
    Run* run = nullptr;
    void Sleep(int milliseconds) override;
    void NestingProcessEvents(int maxWaitMilliseconds) override;
    void WaitUntilIdle(rm::ProcessHandle, int) override {}
};

struct Run {
    rm::test::NestedEvents nesting;
    rm::test::FakeNet net{nesting};
    rm::test::FakeDialogs dialogs{nesting};
    rm::test::FakeClock clock;
    ReplyEvents events;
    rm::test::FakeSound sound;
    rm::test::FakePrograms programs{nesting};
    rm::test::FakeOtherWindows otherWindows{nesting};
    rm::test::FakeClipboard clipboard;
    rm::test::FakeLog log;
    rm::test::FakeFiles files;
    rm::Ports ports{net, dialogs, clock, events, sound, programs, otherWindows, clipboard, log, files};
    rm::Monitor m{rm::MainState{}, rm::ViewModel{}, ports};
    Input in;
    int depth = 0;
    bool rejecting = false;
    // For each send the fake recorded, whether the endpoint refused it.
    std::vector<bool> refused;
    // What commands nested inside each open wait took: time and messages.
    struct Nested {
        std::int64_t time = 0;
        std::size_t messages = 0;
    };
    std::vector<Nested> nested;

    Run() {
        events.run = this;
        net.onSend = [this](const rm::test::SentDatagram&) {
            refused.push_back(rejecting);
            if (rejecting) throw rm::RemoteHostRejected("rejected");
        };
    }

    void Deliver(const Record& r) {
        const int mode = r.op >> 3;
        const int size = static_cast<int>(r.bytes.size());
        const int reported = mode < 4    ? size
                             : mode == 4 ? -1
                             : mode < 8  ? size + 1 + r.delay
                                         : Lengths[mode % 6];
        const rm::RouterLink before = m.s.router;
        const std::size_t sent = net.sent.size(), messages = dialogs.messages.size();
        const std::int64_t monotonic = clock.monotonic;
        rm::RV_UDPDataReceived(m, reported, r.bytes);
        const rm::RouterLink& after = m.s.router;
        Check(after.RouterIp1 == before.RouterIp1 && after.RouterIp2 == before.RouterIp2 &&
              after.RouterIp3 == before.RouterIp3 && after.RouterIp4 == before.RouterIp4);
        Check(net.sent.size() == sent && dialogs.messages.size() == messages && clock.monotonic == monotonic);
        const bool acknowledged = after.CommandAcknowledged != before.CommandAcknowledged;
        const bool isp = after.ReportedIsp != before.ReportedIsp;
        Check(!acknowledged || after.CommandAcknowledged);  // a reply never takes an acknowledgement back
        Check(!(acknowledged && isp));
        if (reported < 0) Check(!acknowledged && !isp);
        if (isp) {
            Check(after.ReportedIsp >= 1 && after.ReportedIsp <= 256);
            const auto at = [&r](std::size_t i) {
                return i < r.bytes.size() ? static_cast<unsigned char>(r.bytes[i]) + 1 : -1;
            };
            Check(after.ReportedIsp == at(29) || after.ReportedIsp == at(43));
        }
    }

    // Runs a command and checks how its wait ended; failure is the message
    // for a reply that never came, empty for a silent command.
    template <class Command>
    void Await(Command command, std::string_view failure) {
        const std::int64_t start = clock.monotonic;
        const std::size_t sent = net.sent.size(), messages = dialogs.messages.size();
        nested.emplace_back();
        const bool answered = command();
        const std::int64_t took = clock.monotonic - start;
        const std::size_t told = dialogs.messages.size() - messages;
        const Nested inner = nested.back();
        nested.pop_back();
        if (!nested.empty()) {
            nested.back().time += took;
            nested.back().messages += told;
        }
        const std::size_t ownMessages = told - inner.messages;
        Check(net.sent.size() > sent);
        Check(net.sent[sent].from == rm::Endpoint::RV_UDP && net.sent[sent].host == m.s.settings.RouterAddress);
        if (refused[sent]) {
            // No reply is awaited for what the endpoint refused.
            Check(!answered && took == 0 && net.sent.size() == sent + 1);
            Check(ownMessages == (failure.empty() ? 0 : 1));
            if (!failure.empty()) Check(dialogs.messages.back() == "IPアドレスの割り当てに失敗しました");
            return;
        }
        Check(took - inner.time <= rm::ReplyWaitMilliseconds);
        if (answered) {
            Check(ownMessages == 0);
        } else {
            Check(took >= rm::ReplyWaitMilliseconds);
            Check(ownMessages == (failure.empty() ? 0 : 1));
            if (!failure.empty()) Check(dialogs.messages.back() == failure);
        }
    }

    void Step() {
        const Record r = in.Take();
        switch (r.op & 7) {
        case 3:
            Await([this] { return rm::SetRouterClock(m); }, "時間設定に失敗しました");
            break;
        case 4:
            Await(
                [this] {
                    const std::uint16_t isp = rm::QueryRouterIsp(m);
                    Check(isp <= 256 && isp != rm::NoIspReported);
                    if (isp != 0) Check(isp == m.s.router.ReportedIsp);
                    return isp != 0;
                },
                {});
            break;
        case 5:
            Await([this, &r] { return rm::SelectRouterIsp(m, (r.op >> 3) % 3); }, "ISPの切り替えに失敗しました");
            break;
        case 6:
            // The user's clock moves; the waits must not notice.
            clock.now += static_cast<std::int8_t>(r.delay) / 24.0;
            break;
        case 7: rejecting = !rejecting; break;
        default: Deliver(r); break;
        }
    }
};

void ReplyEvents::Sleep(int milliseconds) { run->clock.Advance(milliseconds); }

void ReplyEvents::NestingProcessEvents(int maxWaitMilliseconds) {
    // Windows messages keep flowing: no slice is long, none is empty.
    Check(maxWaitMilliseconds >= 1 && maxWaitMilliseconds <= SliceLimit);
    if (run->in.Done()) {
        run->clock.Advance(maxWaitMilliseconds);
        return;
    }
    const Record next = run->in.Peek();
    const bool command = (next.op & 7) >= 3 && (next.op & 7) <= 5;
    if (next.delay > maxWaitMilliseconds || (command && run->depth >= MaxDepth)) {
        run->clock.Advance(maxWaitMilliseconds);
        return;
    }
    run->clock.Advance(next.delay);
    ++run->depth;
    run->Step();
    --run->depth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Run run;
    run.in.data = std::string_view(reinterpret_cast<const char*>(data), size);
    while (!run.in.Done()) run.Step();
    return 0;
}
