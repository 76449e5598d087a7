// The simulator's command line.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "syslog_lines.h"

namespace routersim {

struct Options {
    std::string listen = "0.0.0.0";
    std::uint16_t port = 4449;
    std::string logFile;   // empty: the log goes to stdout
    std::string syslogTo;  // empty: the sender of the latest command
    std::uint16_t syslogPort = 514;
    int ackForm = 20;        // clock acknowledgement length
    int selectAckForm = 18;  // ISP selection acknowledgement length
    int ispAnswerForm = 184;
    DialSettings dial;
    double delayScale = 1.0;
    bool busy = false;
    bool fail = false;
    int busyTimes = 0;
    int failTimes = 0;
    bool noAnswer = false;
    std::chrono::milliseconds late{0};
    std::optional<double> exitAfter;  // seconds
    bool help = false;
};

extern const char kUsage[];

// Throws std::invalid_argument with a message naming the bad option.
Options ParseOptions(std::span<const std::string_view> args);

}  // namespace routersim
