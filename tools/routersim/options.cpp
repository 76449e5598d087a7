#include "options.h"

#include <arpa/inet.h>

#include <charconv>
#include <functional>
#include <map>
#include <stdexcept>

#include "datagrams.h"

namespace routersim {

const char kUsage[] = R"(usage: routersim [options]
Behaves like a Routavista dial-up router on UDP: answers the command datagrams
and sends the syslog lines of its calls. Prints "ready" once it listens.

  --listen ADDR         address to listen on (0.0.0.0)
  --port PORT           command port (4449)
  --log FILE            log datagrams to FILE instead of stdout
  --syslog-to ADDR      send syslog here (default: the sender of the latest command)
  --syslog-port PORT    syslog port (514)
  --ack-form N          clock acknowledgement: 20, 56, 13 or 18 bytes (20)
  --select-ack-form N   ISP selection acknowledgement, same lengths (18)
  --isp-form N          ISP answer: 184 or 372 bytes (184)
  --wan ADDR            own address reported when a call is up (203.0.113.45)
  --number DIGITS       number dialled (0570123456)
  --speed BPS           connect speed (64000)
  --delay-scale X       multiplies the pauses between syslog lines; 0: none (1)
  --busy, --fail        every call is busy, or not answered
  --busy-times N        the first N calls are busy
  --fail-times N        the N calls after those are not answered
  --no-answer           ignore every command
  --late MS             answer the clock, ISP selection and ISP query after MS ms
  --exit-after SECONDS  stop after this long (default: until SIGTERM or SIGINT)
)";

namespace {

template <typename T>
T Number(std::string_view option, std::string_view text, T low, T high) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        throw std::invalid_argument(std::string(option) + ": bad value '" + std::string(text) + "'");
    return value;
}

std::string Address(std::string_view option, std::string_view text) {
    in_addr parsed{};
    const std::string address(text);
    if (inet_pton(AF_INET, address.c_str(), &parsed) != 1)
        throw std::invalid_argument(std::string(option) + ": not an IPv4 address '" + address + "'");
    return address;
}

std::string Digits(std::string_view option, std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        throw std::invalid_argument(std::string(option) + ": digits expected, got '" + std::string(text) + "'");
    return std::string(text);
}

int Form(std::string_view option, std::string_view text, bool (*allowed)(int)) {
    const int length = Number(option, text, 0, 1000);
    if (!allowed(length))
        throw std::invalid_argument(std::string(option) + ": no reply of " + std::string(text) + " bytes");
    return length;
}

}  // namespace

Options ParseOptions(std::span<const std::string_view> args) {
    Options o;
    using Setter = std::function<void(std::string_view, std::string_view)>;
    const std::map<std::string_view, Setter> withValue{
        {"--listen", [&](auto n, auto v) { o.listen = Address(n, v); }},
        {"--port", [&](auto n, auto v) { o.port = Number<std::uint16_t>(n, v, 1, 65535); }},
        {"--log", [&](auto, auto v) { o.logFile = v; }},
        {"--syslog-to", [&](auto n, auto v) { o.syslogTo = Address(n, v); }},
        {"--syslog-port", [&](auto n, auto v) { o.syslogPort = Number<std::uint16_t>(n, v, 1, 65535); }},
        {"--ack-form", [&](auto n, auto v) { o.ackForm = Form(n, v, IsAckLength); }},
        {"--select-ack-form", [&](auto n, auto v) { o.selectAckForm = Form(n, v, IsAckLength); }},
        {"--isp-form", [&](auto n, auto v) { o.ispAnswerForm = Form(n, v, IsIspAnswerLength); }},
        {"--wan", [&](auto n, auto v) { o.dial.wan = Address(n, v); }},
        {"--number", [&](auto n, auto v) { o.dial.number = Digits(n, v); }},
        {"--speed", [&](auto n, auto v) { o.dial.speed = Digits(n, v); }},
        {"--delay-scale", [&](auto n, auto v) { o.delayScale = Number(n, v, 0.0, 1000.0); }},
        {"--busy-times", [&](auto n, auto v) { o.busyTimes = Number(n, v, 0, 1000000); }},
        {"--fail-times", [&](auto n, auto v) { o.failTimes = Number(n, v, 0, 1000000); }},
        {"--late", [&](auto n, auto v) { o.late = std::chrono::milliseconds(Number(n, v, 0, 3600000)); }},
        {"--exit-after", [&](auto n, auto v) { o.exitAfter = Number(n, v, 0.0, 1e6); }},
    };
    const std::map<std::string_view, bool*> flags{
        {"--busy", &o.busy}, {"--fail", &o.fail}, {"--no-answer", &o.noAnswer}, {"--help", &o.help}, {"-h", &o.help},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view name = args[i];
        if (const auto flag = flags.find(name); flag != flags.end()) {
            *flag->second = true;
        } else if (const auto setter = withValue.find(name); setter != withValue.end()) {
            if (i + 1 == args.size()) throw std::invalid_argument(std::string(name) + ": value missing");
            setter->second(name, args[++i]);
        } else {
            throw std::invalid_argument("unknown option '" + std::string(name) + "'");
        }
    }
    return o;
}

}  // namespace routersim
