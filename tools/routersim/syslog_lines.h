// What the router writes to its syslog about a port's calls, and the framing
// it puts around each line on the wire.
#pragma once

#include <chrono>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace routersim {

struct DialSettings {
    std::string number = "0570123456";
    std::string speed = "64000";
    std::string wan = "203.0.113.45";
};

enum class DialOutcome { Connected, Busy, NoCarrier };

struct SyslogLine {
    std::chrono::milliseconds delay;  // after the previous line, or after the command for the first
    std::string text;
};

// "S01:" for port 1, "S02:" for port 2.
std::string PortTag(int port);

// A call from modem reset to the assigned address, or to the hang-up of a
// busy or unanswered call.
std::vector<SyslogLine> DialLines(int port, DialOutcome outcome, const DialSettings& settings);

// The hang-up of a call that is up or still dialling.
std::vector<SyslogLine> HangUpLines(int port);

// RFC 3164: "<30>Dec  7 09:05:07 rv4 " + text (daemon.info, day padded with a blank).
std::string FrameSyslog(std::string_view text, const std::tm& local);

}  // namespace routersim
