#include "router.h"

#include <utility>

namespace routersim {

Router::Router(Options options) : options_(std::move(options)) {}

Router::Reaction Router::Receive(std::span<const std::uint8_t> datagram, Clock::time_point now) {
    Reaction reaction{DecodeCommand(datagram), std::nullopt};
    if (!reaction.command || options_.noAnswer) return reaction;
    const Command& command = *reaction.command;
    const auto replyDue = now + options_.late;
    switch (command.kind) {
        case CommandKind::SetRouterClock:
            reaction.reply = Reply{EncodeAck(datagram, options_.ackForm), replyDue};
            break;
        case CommandKind::SelectRouterIsp:
            selectedIsp_ = command.isp;
            reaction.reply = Reply{EncodeAck(datagram, options_.selectAckForm), replyDue};
            break;
        case CommandKind::QueryRouterIsp:
            reaction.reply = Reply{EncodeIspAnswer(datagram, options_.ispAnswerForm, selectedIsp_), replyDue};
            break;
        case CommandKind::ConnectRouterPort:
            Connect(command.port, now);
            break;
        case CommandKind::DisconnectRouterPort:
            Disconnect(command.port, now);
            break;
    }
    return reaction;
}

std::optional<Router::Clock::time_point> Router::NextLineDue() const {
    if (pending_.empty()) return std::nullopt;
    return pending_.begin()->first;
}

std::vector<std::string> Router::TakeDueLines(Clock::time_point now) {
    std::vector<std::string> due;
    while (!pending_.empty() && pending_.begin()->first <= now) {
        Pending line = std::move(pending_.begin()->second);
        pending_.erase(pending_.begin());
        due.push_back(std::move(line.text));
        if (!line.then) continue;
        PhaseOf(line.port) = *line.then;
        const auto slot = static_cast<std::size_t>(line.port - 1);
        if (*line.then == Phase::Idle && std::exchange(redialQueued_[slot], false)) Connect(line.port, now);
    }
    return due;
}

void Router::Connect(int port, Clock::time_point now) {
    const auto slot = static_cast<std::size_t>(port - 1);
    // A modem that reported a failure takes the next dial once it has hung up.
    if (PhaseOf(port) == Phase::Dialling && failing_[slot]) redialQueued_[slot] = true;
    if (PhaseOf(port) != Phase::Idle) return;
    const DialOutcome outcome = NextOutcome();
    failing_[slot] = outcome != DialOutcome::Connected;
    PhaseOf(port) = Phase::Dialling;
    Schedule(port, DialLines(port, outcome, options_.dial), outcome == DialOutcome::Connected ? Phase::Up : Phase::Idle,
             now);
}

void Router::Disconnect(int port, Clock::time_point now) {
    const Phase phase = PhaseOf(port);
    if (phase != Phase::Dialling && phase != Phase::Up) return;
    std::erase_if(pending_, [port](const auto& entry) { return entry.second.port == port; });
    redialQueued_[static_cast<std::size_t>(port - 1)] = false;
    PhaseOf(port) = Phase::HangingUp;
    Schedule(port, HangUpLines(port), Phase::Idle, now);
}

void Router::Schedule(int port, const std::vector<SyslogLine>& lines, Phase then, Clock::time_point now) {
    auto due = now;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        due += std::chrono::duration_cast<Clock::duration>(lines[i].delay * options_.delayScale);
        const bool last = i + 1 == lines.size();
        pending_.emplace(due, Pending{port, lines[i].text, last ? std::optional(then) : std::nullopt});
    }
}

DialOutcome Router::NextOutcome() {
    const int attempt = attempts_++;
    if (options_.busy || attempt < options_.busyTimes) return DialOutcome::Busy;
    if (options_.fail || attempt < options_.busyTimes + options_.failTimes) return DialOutcome::NoCarrier;
    return DialOutcome::Connected;
}

}  // namespace routersim
