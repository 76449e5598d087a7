// The router's command datagrams on UDP 4449 and the replies it sends back.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace routersim {

using Bytes = std::vector<std::uint8_t>;

enum class CommandKind { SetRouterClock, QueryRouterIsp, ConnectRouterPort, DisconnectRouterPort, SelectRouterIsp };

struct Command {
    CommandKind kind;
    int port = 0;  // 1 or 2, connect and disconnect only
    int isp = 0;   // 0-based, ISP selection only
    bool operator==(const Command&) const = default;
};

// Recognised by the type (bytes 0-1) and the code (bytes 4-5). A datagram too
// short for its command's payload, or an ISP index past 2, is not a command.
std::optional<Command> DecodeCommand(std::span<const std::uint8_t> datagram);

// For the log: "ConnectRouterPort(1)", "SelectRouterIsp(2)", "SetRouterClock".
std::string CommandName(const Command& command);

bool IsAckLength(int length);        // 13, 18, 20 or 56
bool IsIspAnswerLength(int length);  // 184 or 372

// The request's header with 0x81 in byte 4 and the reply's own payload length,
// cut or padded with zeros to `length`. The zero payload matters for the
// 18-byte form, which acknowledges by bytes 16-17 being 00 00.
Bytes EncodeAck(std::span<const std::uint8_t> request, int length);

// An acknowledgement-style answer carrying the 0-based ISP index in byte 29
// (184 bytes) or byte 43 (372 bytes).
Bytes EncodeIspAnswer(std::span<const std::uint8_t> request, int length, int ispIndex);

// Lower-case hex digits, no separators.
std::string Hex(std::span<const std::uint8_t> bytes);

}  // namespace routersim
