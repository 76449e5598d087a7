#include "text/chars.h"

#include <array>

namespace rm {
namespace {

constexpr std::array<std::string_view, 32> ControlMarks{
    "<NUL>", "<SOH>", "<STX>", "<ETX>", "<EOT>", "<ENQ>", "<ACK>", "<BEL>", "<BS>",  "<HT>",  "<LF>",
    "<VT>",  "<FF>",  "<CR>",  "<SO>",  "<SI>",  "<DLE>", "<DC1>", "<DC2>", "<DC3>", "<DC4>", "<NAK>",
    "<SYN>", "<ETB>", "<CAN>", "<EM>",  "<SUB>", "<ESC>", "<FS>",  "<GS>",  "<RS>",  "<US>"};

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset where character number index (0-based) starts.
std::size_t OffsetOfChar(std::string_view s, int index) {
    std::size_t pos = 0;
    for (int seen = 0; pos < s.size(); ++pos) {
        if (!IsContinuation(s[pos]) && seen++ == index) return pos;
    }
    return s.size();
}

}  // namespace

int CharCount(std::string_view s) {
    int count = 0;
    for (char c : s) count += IsContinuation(c) ? 0 : 1;
    return count;
}

std::string right(std::string_view s, int n) {
    if (n <= 0) return {};
    const int total = CharCount(s);
    if (n >= total) return std::string(s);
    return std::string(s.substr(OffsetOfChar(s, total - n)));
}

std::string tleft(std::string_view s, int n) {
    if (n <= 0) return {};
    return std::string(s.substr(0, OffsetOfChar(s, n)));
}

std::string VisibleText(std::string_view s) {
    std::string visible;
    visible.reserve(s.size());
    for (const char c : s) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            visible += c;
            continue;
        }
        // U+2400 + byte, and U+2421 for DEL, in UTF-8.
        const unsigned picture = byte == 0x7F ? 0x2421 : 0x2400 + byte;
        visible += static_cast<char>(0xE0 | (picture >> 12));
        visible += static_cast<char>(0x80 | ((picture >> 6) & 0x3F));
        visible += static_cast<char>(0x80 | (picture & 0x3F));
    }
    return visible;
}

std::string_view ControlMark(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < ControlMarks.size()) return ControlMarks[byte];
    return byte == 0x7F ? "<DEL>" : "";
}

std::string MarkedText(std::string_view s) {
    std::string marked;
    marked.reserve(s.size());
    for (const char c : s) {
        const std::string_view mark = ControlMark(c);
        if (mark.empty()) {
            marked += c;
        } else {
            marked += mark;
        }
    }
    return marked;
}

}  // namespace rm
