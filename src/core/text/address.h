// The router's address as the user types it and the settings file keeps it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rm {

// Four decimal parts of one to three digits, each 0..255, joined by "." and
// nothing else; nothing for any other text. Stricter than the endpoint's
// DottedAddress (win32/nmudp.h), which takes a destination as Windows
// Sockets does ("10.1", hex and octal parts): a typed address must read as
// the user means it, and the router's octets go into its datagrams.
std::optional<std::array<std::uint8_t, 4>> ParseIpv4Address(std::string_view text);

}  // namespace rm
