#include "datagrams.h"

#include <algorithm>
#include <array>

namespace routersim {
namespace {

constexpr std::size_t kHeaderLength = 16;

struct Layout {
    std::uint16_t type;
    std::uint16_t code;
    std::size_t length;
    CommandKind kind;
    int port;
};

constexpr std::array kLayouts{
    Layout{0x0040, 0x410B, 26, CommandKind::SetRouterClock, 0},
    Layout{0x0003, 0x0164, 24, CommandKind::QueryRouterIsp, 0},
    Layout{0x0002, 0x016A, 20, CommandKind::ConnectRouterPort, 1},
    Layout{0x0002, 0x016B, 20, CommandKind::ConnectRouterPort, 2},
    Layout{0x0002, 0x0168, 20, CommandKind::DisconnectRouterPort, 1},
    Layout{0x0002, 0x0169, 20, CommandKind::DisconnectRouterPort, 2},
    Layout{0x0004, 0x016E, 18, CommandKind::SelectRouterIsp, 0},
};

std::uint16_t ReadBigEndian16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] << 8 | bytes[offset + 1]);
}

void WriteBigEndian16(Bytes& bytes, std::size_t offset, std::size_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value >> 8);
    bytes[offset + 1] = static_cast<std::uint8_t>(value);
}

}  // namespace

std::optional<Command> DecodeCommand(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < 6) return std::nullopt;
    const std::uint16_t type = ReadBigEndian16(datagram, 0);
    const std::uint16_t code = ReadBigEndian16(datagram, 4);
    const auto layout =
        std::ranges::find_if(kLayouts, [&](const Layout& l) { return l.type == type && l.code == code; });
    if (layout == kLayouts.end() || datagram.size() < layout->length) return std::nullopt;
    Command command{layout->kind, layout->port};
    if (command.kind == CommandKind::SelectRouterIsp) {
        command.isp = ReadBigEndian16(datagram, kHeaderLength);
        if (command.isp > 2) return std::nullopt;
    }
    return command;
}

std::string CommandName(const Command& command) {
    switch (command.kind) {
        case CommandKind::SetRouterClock: return "SetRouterClock";
        case CommandKind::QueryRouterIsp: return "QueryRouterIsp";
        case CommandKind::ConnectRouterPort: return "ConnectRouterPort(" + std::to_string(command.port) + ")";
        case CommandKind::DisconnectRouterPort: return "DisconnectRouterPort(" + std::to_string(command.port) + ")";
        case CommandKind::SelectRouterIsp: return "SelectRouterIsp(" + std::to_string(command.isp) + ")";
    }
    return "?";
}

bool IsAckLength(int length) { return length == 13 || length == 18 || length == 20 || length == 56; }

bool IsIspAnswerLength(int length) { return length == 184 || length == 372; }

Bytes EncodeAck(std::span<const std::uint8_t> request, int length) {
    Bytes reply(static_cast<std::size_t>(length), 0);
    const auto header = request.first(std::min({kHeaderLength, request.size(), reply.size()}));
    std::ranges::copy(header, reply.begin());
    reply[4] = 0x81;
    WriteBigEndian16(reply, 6, reply.size() > kHeaderLength ? reply.size() - kHeaderLength : 0);
    return reply;
}

Bytes EncodeIspAnswer(std::span<const std::uint8_t> request, int length, int ispIndex) {
    Bytes reply = EncodeAck(request, length);
    reply[length == 372 ? 43 : 29] = static_cast<std::uint8_t>(ispIndex);
    return reply;
}

std::string Hex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

}  // namespace routersim
