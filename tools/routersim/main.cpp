// A Routavista dial-up router on the wire, for tests and demos: answers the
// command datagrams on UDP 4449 and sends its calls' syslog to the PC.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "options.h"
#include "router.h"

namespace routersim {
namespace {

using Clock = Router::Clock;

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

sockaddr_in Endpoint(const std::string& address, std::uint16_t port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr);
    return endpoint;
}

std::string Describe(const sockaddr_in& endpoint) {
    char address[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &endpoint.sin_addr, address, sizeof address);
    return std::string(address) + ":" + std::to_string(ntohs(endpoint.sin_port));
}

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

// One line per datagram, flushed at once so a test can read the file while we run.
class Log {
public:
    explicit Log(const std::string& path) : file_(path.empty() ? stdout : std::fopen(path.c_str(), "a")) {
        if (!file_) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    }
    ~Log() {
        if (file_ != stdout) std::fclose(file_);
    }
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    void Line(std::string_view direction, const sockaddr_in& peer, std::string_view what, std::string_view data) {
        const auto now = std::chrono::system_clock::now();
        const auto millis =
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
        char stamp[32];
        const std::tm local = LocalNow();
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
        std::fprintf(file_, "%s.%03lld %.*s %s %.*s %.*s\n", stamp, static_cast<long long>(millis),
                     static_cast<int>(direction.size()), direction.data(), Describe(peer).c_str(),
                     static_cast<int>(what.size()), what.data(), static_cast<int>(data.size()), data.data());
        std::fflush(file_);
    }

private:
    std::FILE* file_;
};

struct PendingReply {
    sockaddr_in to;
    Bytes bytes;
};

class Simulator {
public:
    explicit Simulator(const Options& options) : options_(options), router_(options), log_(options.logFile) {
        socket_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (socket_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
        const sockaddr_in local = Endpoint(options.listen, options.port);
        if (::bind(socket_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
            throw std::runtime_error("bind " + Describe(local) + ": " + std::strerror(errno));
        if (!options.syslogTo.empty()) syslogHost_ = Endpoint(options.syslogTo, options.syslogPort);
    }
    ~Simulator() { ::close(socket_); }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    void Run(const sigset_t& waitMask) {
        std::optional<Clock::time_point> end;
        if (options_.exitAfter) {
            const std::chrono::duration<double> limit(*options_.exitAfter);
            end = Clock::now() + std::chrono::duration_cast<Clock::duration>(limit);
        }
        while (!stopRequested) {
            const auto now = Clock::now();
            if (end && now >= *end) return;
            SendDue(now);
            pollfd readable{socket_, POLLIN, 0};
            const timespec timeout = TimeUntilNextEvent(now, end);
            const int ready = ::ppoll(&readable, 1, &timeout, &waitMask);
            if (ready < 0 && errno != EINTR) throw std::runtime_error(std::string("ppoll: ") + std::strerror(errno));
            if (ready > 0) ReceiveOne();
        }
    }

private:
    timespec TimeUntilNextEvent(Clock::time_point now, std::optional<Clock::time_point> end) const {
        auto next = now + std::chrono::seconds(1);
        if (end) next = std::min(next, *end);
        if (const auto line = router_.NextLineDue()) next = std::min(next, *line);
        if (!replies_.empty()) next = std::min(next, replies_.begin()->first);
        const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(next - now, Clock::duration{}));
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
        return timespec{static_cast<std::time_t>(seconds.count()), static_cast<long>((wait - seconds).count())};
    }

    void ReceiveOne() {
        std::vector<std::uint8_t> buffer(65536);
        sockaddr_in sender{};
        socklen_t senderLength = sizeof sender;
        const ssize_t length =
            ::recvfrom(socket_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (length < 0) return;
        buffer.resize(static_cast<std::size_t>(length));
        const auto reaction = router_.Receive(buffer, Clock::now());
        log_.Line("recv", sender, reaction.command ? CommandName(*reaction.command) : "unknown", Hex(buffer));
        if (reaction.command && options_.syslogTo.empty()) {
            syslogHost_ = sender;
            syslogHost_->sin_port = htons(options_.syslogPort);
        }
        if (reaction.reply) replies_.emplace(reaction.reply->due, PendingReply{sender, reaction.reply->bytes});
    }

    void SendDue(Clock::time_point now) {
        while (!replies_.empty() && replies_.begin()->first <= now) {
            const PendingReply& reply = replies_.begin()->second;
            Send(reply.to, reply.bytes, "reply", Hex(reply.bytes));
            replies_.erase(replies_.begin());
        }
        for (const std::string& text : router_.TakeDueLines(now)) {
            if (!syslogHost_) continue;
            const std::string framed = FrameSyslog(text, LocalNow());
            Send(*syslogHost_, std::span(reinterpret_cast<const std::uint8_t*>(framed.data()), framed.size()), "syslog",
                 framed);
        }
    }

    void Send(const sockaddr_in& to, std::span<const std::uint8_t> bytes, std::string_view what,
              std::string_view shown) {
        const ssize_t sent =
            ::sendto(socket_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        log_.Line(sent < 0 ? "fail" : "send", to, what, shown);
    }

    const Options& options_;
    Router router_;
    Log log_;
    int socket_ = -1;
    std::optional<sockaddr_in> syslogHost_;
    std::multimap<Clock::time_point, PendingReply> replies_;
};

}  // namespace
}  // namespace routersim

int main(int argc, char** argv) {
    using namespace routersim;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    Options options;
    try {
        options = ParseOptions(args);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "routersim: %s\n%s", e.what(), kUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    // The stop signals are held back except while waiting, so one that comes
    // between two waits still ends the next wait at once.
    sigset_t stopSignals, waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    struct sigaction action{};
    action.sa_handler = RequestStop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    try {
        Simulator simulator(options);
        std::puts("ready");
        std::fflush(stdout);
        simulator.Run(waitMask);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "routersim: %s\n", e.what());
        return 1;
    }
    return 0;
}
