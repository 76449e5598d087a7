// What a syslog datagram leaves in the viewer and the daily file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rm {

// The most of a datagram that is shown and saved: what a BSD syslog packet
// may hold at most (RFC 3164). A longer one is cut between characters and
// marked.
inline constexpr std::size_t MaxSyslogLineBytes = 1024;

// Printable ASCII and DEL only: tabs, line ends and Japanese text never
// reach the phrase tests.
std::string CleanLine(std::string_view raw);

// The line for the viewer and the file, in Shift-JIS: in simple display only
// whole printable characters, else every byte.
std::string ViewLine(std::string_view datagram, bool simple);

// Each control byte as rsyslog writes it by default, "#" and three octal
// digits (#012 for LF, #015 for CR, #000 for NUL), so that one datagram is
// one line of the file.
std::string EscapedControlBytes(std::string_view line);

}  // namespace rm
