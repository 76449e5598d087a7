#include "syslog_lines.h"

#include <cstdio>

namespace routersim {
namespace {

using std::chrono::milliseconds;

// The ISP's end of the link; only the own address matters to a listener.
constexpr std::string_view kPeerAddress = "203.0.113.1";

}  // namespace

std::string PortTag(int port) { return "S0" + std::to_string(port) + ":"; }

std::vector<SyslogLine> DialLines(int port, DialOutcome outcome, const DialSettings& settings) {
    const std::string tag = PortTag(port) + " ";
    std::vector<SyslogLine> lines{
        {milliseconds(100), tag + "-->: ATZ"},
        {milliseconds(200), tag + "<--: OK"},
        {milliseconds(200), tag + "-->: ATD" + settings.number},
    };
    switch (outcome) {
        case DialOutcome::Connected:
            lines.push_back({milliseconds(800), tag + "<--: CONNECT " + settings.speed});
            lines.push_back({milliseconds(500), tag + "Connect successfully"});
            lines.push_back({milliseconds(300),
                             tag + "IPCP UP. My IP=" + settings.wan + ", Peer IP=" + std::string(kPeerAddress)});
            break;
        case DialOutcome::Busy:
            lines.push_back({milliseconds(800), tag + "<--: BUSY"});
            lines.push_back({milliseconds(300), tag + "Disconnect successfully"});
            break;
        case DialOutcome::NoCarrier:
            lines.push_back({milliseconds(1000), tag + "<--: NO CARRIER"});
            lines.push_back({milliseconds(300), tag + "Disconnect successfully"});
            break;
    }
    return lines;
}

std::vector<SyslogLine> HangUpLines(int port) {
    return {{milliseconds(300), PortTag(port) + " Disconnect successfully"}};
}

std::string FrameSyslog(std::string_view text, const std::tm& local) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char header[32];
    std::snprintf(header, sizeof header, "<30>%s %2d %02d:%02d:%02d rv4 ", kMonths[local.tm_mon % 12], local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec);
    return header + std::string(text);
}

}  // namespace routersim
