// The router's two dial-up ports as the command datagrams drive them: which
// reply each command gets and which syslog lines follow, and when. Sockets and
// clocks stay outside; the caller passes the time in.
#pragma once

#include <array>
#include <chrono>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "datagrams.h"
#include "options.h"

namespace routersim {

class Router {
public:
    using Clock = std::chrono::steady_clock;

    struct Reply {
        Bytes bytes;
        Clock::time_point due;
    };

    struct Reaction {
        std::optional<Command> command;  // nullopt: not a command
        std::optional<Reply> reply;      // to the sender of the command
    };

    explicit Router(Options options);

    Reaction Receive(std::span<const std::uint8_t> datagram, Clock::time_point now);

    std::optional<Clock::time_point> NextLineDue() const;

    // The syslog texts (unframed) due by `now`, in order.
    std::vector<std::string> TakeDueLines(Clock::time_point now);

    int SelectedIsp() const { return selectedIsp_; }

private:
    enum class Phase { Idle, Dialling, Up, HangingUp };

    struct Pending {
        int port;
        std::string text;
        std::optional<Phase> then;  // the port's phase once this line is out
    };

    void Connect(int port, Clock::time_point now);
    void Disconnect(int port, Clock::time_point now);
    void Schedule(int port, const std::vector<SyslogLine>& lines, Phase then, Clock::time_point now);
    DialOutcome NextOutcome();
    Phase& PhaseOf(int port) { return phases_[static_cast<std::size_t>(port - 1)]; }

    Options options_;
    std::array<Phase, 2> phases_{Phase::Idle, Phase::Idle};
    // A call that will not connect, and a connect that came while it ended.
    std::array<bool, 2> failing_{false, false};
    std::array<bool, 2> redialQueued_{false, false};
    std::multimap<Clock::time_point, Pending> pending_;
    int attempts_ = 0;
    int selectedIsp_ = 0;
};

}  // namespace routersim
