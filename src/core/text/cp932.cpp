#include "text/cp932.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace rm {
namespace {

struct EncodeEntry {
    char16_t unicode;
    std::uint16_t code;  // a single byte when below 0x100
};

#include "text/cp932_table.inc"

// Windows' default character for code page 932 (KATAKANA MIDDLE DOT). It
// stands for a lead byte at the end of the input, a lead byte followed by NUL
// (the NUL is kept), and a pair with no character, both bytes consumed.
// Python's codec would reject these instead; Windows never fails.
constexpr char16_t kDefaultChar = u'\u30FB';
constexpr char32_t kReplacementChar = U'\uFFFD';

void AppendUtf8(std::string& out, char16_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character starting at pos, which moves past it. Like Windows, a broken
// sequence (the longest start of a valid one, or else one byte) reads as
// U+FFFD.
char32_t NextChar(std::string_view s, std::size_t& pos) {
    const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos++);
    if (lead < 0x80) return lead;

    int length = 0;
    char32_t c = 0;
    unsigned char low = 0x80;  // range of the byte after the lead
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return kReplacementChar;
    }
    for (int i = 1; i < length; ++i) {
        if (pos == s.size() || byte(pos) < low || byte(pos) > high) return kReplacementChar;
        c = (c << 6) | (byte(pos++) & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return c;
}

void AppendCp932(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    // Windows converts UTF-16: each half of a surrogate pair is unmappable.
    if (c > 0xFFFF) {
        out += "??";
        return;
    }
    const auto entry = std::lower_bound(
        std::begin(kEncode), std::end(kEncode), c,
        [](const EncodeEntry& e, char32_t wanted) { return e.unicode < wanted; });
    if (entry == std::end(kEncode) || entry->unicode != c) {
        out += '?';
        return;
    }
    if (entry->code > 0xFF) out += static_cast<char>(entry->code >> 8);
    out += static_cast<char>(entry->code & 0xFF);
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());  // never longer than its UTF-8
    for (std::size_t pos = 0; pos < utf8.size();) AppendCp932(out, NextChar(utf8, pos));
    return out;
}

std::string FirstCharNotInCp932(std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        std::string bytes;
        AppendCp932(bytes, NextChar(utf8, pos));
        const std::string_view character = utf8.substr(start, pos - start);
        if (Cp932ToUtf8(bytes) != character) return std::string(character);
    }
    return {};
}

namespace {

bool IsLeadByte(unsigned char byte) { return kLeadRow[byte] != 0; }

bool CanTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

// Neither a control character nor one that no font of the system draws:
// Windows maps user-defined characters and stray single bytes into the
// private-use area.
bool IsPrintable(char16_t c) { return c >= 0x20 && !(c >= 0x7F && c <= 0x9F) && !(c >= 0xE000 && c <= 0xF8FF); }

}  // namespace

std::string_view Cp932Head(std::string_view bytes, std::size_t maxBytes) {
    if (bytes.size() <= maxBytes) return bytes;
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t length = IsLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        if (end + length > maxBytes) break;
        end = std::min(end + length, bytes.size());
    }
    return bytes.substr(0, end);
}

std::string Cp932PrintableChars(std::string_view bytes) {
    // Most lines are printable ASCII throughout.
    const std::size_t plain = static_cast<std::size_t>(
        std::find_if_not(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c < 0x7F; }) - bytes.begin());
    std::string kept(bytes.substr(0, plain));
    kept.reserve(bytes.size());
    for (std::size_t pos = plain; pos < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        const int row = kLeadRow[lead];
        if (row == 0) {
            if (IsPrintable(kSingleByte[lead])) kept += bytes[pos];
            ++pos;
            continue;
        }
        if (pos + 1 == bytes.size() || !CanTrail(static_cast<unsigned char>(bytes[pos + 1]))) {
            ++pos;
            continue;
        }
        const char16_t c = kDoubleByte[row - 1][static_cast<unsigned char>(bytes[pos + 1])];
        if (c != 0 && IsPrintable(c)) kept += bytes.substr(pos, 2);
        pos += 2;
    }
    return kept;
}

std::string Cp932ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[pos++]);
        const int row = kLeadRow[lead];
        if (row == 0) {
            AppendUtf8(out, kSingleByte[lead]);
            continue;
        }
        if (pos == bytes.size() || bytes[pos] == '\0') {
            AppendUtf8(out, kDefaultChar);
            continue;
        }
        const char16_t c = kDoubleByte[row - 1][static_cast<unsigned char>(bytes[pos++])];
        AppendUtf8(out, c != 0 ? c : kDefaultChar);
    }
    return out;
}

}  // namespace rm
