// Any datagrams on the router port, alone or while a command waits for its
// reply: handling them never fails and only ever sets the acknowledgement or
// a ReportedIsp of 1..256 taken from the reply; every wait ends within its
// time on the monotonic clock, and a command that gives up says so.
//
// Input: records, each an operation byte and a delay byte (milliseconds
// after the record before it arrives), then for a datagram two bytes of
// length and the bytes. Operation & 7: 0..2 a datagram (op >> 3 picks how its
// byteCount is reported), 3 set the clock, 4 ask the ISP, 5 select an ISP,
// 6 the user sets the wall clock, 7 the endpoint starts or stops rejecting
// the router's address. Each record is an event of its own on the time line,
// while the commands started before wait; a command is one of its own beside
// them.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fakes.h"
#include "router/router_commands.h"
#include "fuzz_checks.h"

namespace {

constexpr std::size_t MaxReply = 2048;  // the endpoint's buffer
// Commands under way at once; a user cannot start them faster than replies
// time out, and each reply wakes every one.
constexpr std::size_t MaxCommands = 6;
constexpr int Lengths[] = {13, 18, 20, 56, 184, 372};

struct Record {
    std::uint8_t op = 0, delay = 0;
    std::string_view bytes;
};

struct Input {
    std::string_view data;
    std::size_t pos = 0;

    bool Done() const { return pos + 2 > data.size(); }
    Record Take() {
        Record r{static_cast<std::uint8_t>(data[pos]), static_cast<std::uint8_t>(data[pos + 1]), {}};
        pos += 2;
        if ((r.op & 7) <= 2 && pos + 2 <= data.size()) {
            const std::size_t length =
                ((static_cast<std::size_t>(static_cast<unsigned char>(data[pos])) << 8) |
                 static_cast<unsigned char>(data[pos + 1])) % (MaxReply + 1);
            pos += 2;
            r.bytes = data.substr(pos, length);
            pos += r.bytes.size();
        }
        return r;
    }
};

// The program's timers on the fake time line; each step notes where the
// messages stood when it began, so that a command's own message is told
// from those of the commands beside it.
class Timers : public rm::StepPort {
public:
    Timers(rm::test::FakeSteps& steps, const std::vector<std::string>& messages) : steps_(steps), messages_(messages) {}
    std::size_t messagesBefore = 0;
    void After(int milliseconds, std::function<void()> step) override {
        Check(milliseconds >= 0 && milliseconds <= rm::ReplyWaitMilliseconds);
        steps_.After(milliseconds, [this, step = std::move(step)] {
            messagesBefore = messages_.size();
            step();
        });
    }

private:
    rm::test::FakeSteps& steps_;
    const std::vector<std::string>& messages_;
};

struct Run {
    rm::test::NestedEvents nesting;
    rm::test::FakeNet net;
    rm::test::FakeClock clock;
    rm::test::FakeSteps steps{clock, nesting};
    rm::test::FakeDialogs dialogs{steps, nesting};
    Timers timers{steps, dialogs.messages};
    rm::test::FakeSound sound;
    rm::test::FakePrograms programs{nesting};
    rm::test::FakeOtherWindows otherWindows{steps};
    rm::test::FakeClipboard clipboard;
    rm::test::FakeLog log;
    rm::test::FakeFiles files;
    rm::Ports ports{net, dialogs, clock, timers, sound, programs, otherWindows, clipboard, log, files};
    rm::Monitor m{rm::MainState{}, rm::ViewModel{}, ports};
    Input in;
    bool rejecting = false;
    // For each send the fake recorded, whether the endpoint refused it.
    std::vector<bool> refused;

    Run() {
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
        const std::size_t sent = net.sent.size(), messages = dialogs.messages.size(), waits = steps.waits.size();
        const std::size_t waiting = m.waiting.RouterReply.size();
        const std::int64_t monotonic = clock.monotonic;
        rm::OnRouterReply(m, reported, r.bytes);
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
        // A reply only wakes the waiting commands, each at once and each
        // once; one that changed what they wait for wakes them all.
        const std::size_t woken = steps.waits.size() - waits;
        Check(woken == 0 || woken == waiting);
        if (acknowledged || isp) Check(woken == waiting && m.waiting.RouterReply.empty());
        for (std::size_t i = waits; i < steps.waits.size(); ++i) Check(steps.waits[i] == 0);
    }

    // Runs a command and checks how its wait ended; failure is the message
    // for a reply that never came, empty for a silent command.
    rm::Task<> Await(rm::Task<bool> command, std::string_view failure) {
        const std::int64_t start = clock.monotonic;
        const std::size_t sent = net.sent.size();
        const bool answered = co_await std::move(command);
        const std::int64_t took = clock.monotonic - start;
        // The command ends in the step of its last wait; nothing else runs in it.
        const std::size_t own = dialogs.messages.size() - timers.messagesBefore;
        Check(net.sent.size() > sent);
        Check(net.sent[sent].from == rm::Endpoint::Router && net.sent[sent].host == m.s.settings.RouterAddress);
        if (refused[sent]) {
            // No reply is awaited for what the endpoint refused.
            Check(!answered && took == 0 && net.sent.size() == sent + 1);
            Check(own == (failure.empty() ? 0 : 1));
            if (!failure.empty()) Check(dialogs.messages.back() == "IPアドレスの割り当てに失敗しました");
            co_return;
        }
        Check(took <= rm::ReplyWaitMilliseconds);
        if (answered) {
            Check(own == 0);
        } else {
            Check(took == rm::ReplyWaitMilliseconds);
            Check(own == (failure.empty() ? 0 : 1));
            if (!failure.empty()) Check(dialogs.messages.back() == failure);
        }
    }

    rm::Task<bool> AskIsp() {
        const std::uint16_t isp = co_await rm::QueryRouterIsp(m);
        Check(isp <= 256 && isp != rm::NoIspReported);
        if (isp != 0) Check(isp == m.s.router.ReportedIsp);
        co_return isp != 0;
    }

    void Start(rm::Task<bool> command, std::string_view failure) {
        if (m.steps.Running() < MaxCommands) m.steps.Start(Await(std::move(command), failure));
    }

    void Step(const Record& r) {
        switch (r.op & 7) {
        case 3: Start(rm::SetRouterClock(m), "時間設定に失敗しました"); break;
        case 4: Start(AskIsp(), {}); break;
        case 5: Start(rm::SelectRouterIsp(m, (r.op >> 3) % 3), "ISPの切り替えに失敗しました"); break;
        case 6:
            // The user's clock moves; the waits must not notice.
            clock.now += static_cast<std::int8_t>(r.delay) / 24.0;
            break;
        case 7: rejecting = !rejecting; break;
        default: Deliver(r); break;
        }
    }

    // The next record arrives its delay after this one, as an event of its own.
    void ScheduleNext() {
        if (in.Done()) return;
        const Record r = in.Take();
        steps.Later(r.delay, [this, r] {
            timers.messagesBefore = dialogs.messages.size();
            Step(r);
            ScheduleNext();
        });
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Run run;
    run.in.data = std::string_view(reinterpret_cast<const char*>(data), size);
    run.ScheduleNext();
    run.steps.Drain([&run] { return run.m.steps.Running() == 0; });
    Check(run.in.Done() && run.m.steps.Running() == 0);
    return 0;
}
