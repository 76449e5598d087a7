// The Shift-JIS conversion both ways.
//  - Any bytes decode to UTF-8, and that text encodes and decodes to itself.
//  - The input read as UTF-16 (little-endian pairs; a lone surrogate stands
//    for U+FFFD) gives valid UTF-8. It encodes character by character, each
//    to one Shift-JIS character: a character that some Shift-JIS bytes decode
//    to comes back as itself; any other character of the BMP comes back as a
//    different one (Windows' closest match, or '?'), one beyond the BMP as
//    "??", one '?' per UTF-16 half, as Windows converts.
//  - The input read as UTF-8, valid or not, encodes without failing.
// No encoding is longer than its UTF-8.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/cp932.h"
#include "fuzz_checks.h"

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The only character of a UTF-8 text, or 0 when it holds none or several.
char32_t SoleChar(std::string_view s) {
    if (s.empty()) return 0;
    const auto lead = static_cast<unsigned char>(s[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (s.size() != length) return 0;
    if (length == 1) return lead;
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    return c;
}

// Every character that one or two Shift-JIS bytes decode to.
const std::vector<bool>& Repertoire() {
    static const std::vector<bool> repertoire = [] {
        std::vector<bool> seen(0x10000, false);
        const auto note = [&seen](const std::string& bytes) {
            if (const char32_t c = SoleChar(rm::Cp932ToUtf8(bytes)); c != 0 && c < 0x10000) seen[c] = true;
        };
        seen[0] = true;  // SoleChar's "none"; NUL decodes to itself
        for (int lead = 1; lead < 0x100; ++lead) {
            note(std::string(1, static_cast<char>(lead)));
            for (int trail = 1; trail < 0x100; ++trail) note({static_cast<char>(lead), static_cast<char>(trail)});
        }
        return seen;
    }();
    return repertoire;
}

// What a character outside the repertoire comes back as, learnt once each.
char32_t Substitute(char32_t c) {
    static std::array<char32_t, 0x10000> learnt{};
    if (learnt[c] == 0) {
        std::string utf8;
        AppendUtf8(utf8, c);
        const std::string encoded = rm::Utf8ToCp932(utf8);
        const char32_t back = SoleChar(rm::Cp932ToUtf8(encoded));
        Check(encoded.size() <= 2 && back != 0 && back != c && Repertoire()[back]);
        learnt[c] = back;
    }
    return learnt[c];
}

void CheckDecoded(std::string_view bytes) {
    const std::string text = rm::Cp932ToUtf8(bytes);
    Check(IsUtf8(text));
    const std::string encoded = rm::Utf8ToCp932(text);
    Check(encoded.size() <= text.size());
    Check(rm::Cp932ToUtf8(encoded) == text);
}

void CheckUtf16(std::string_view bytes) {
    std::string text, expected;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = static_cast<unsigned char>(bytes[i + 2]) | static_cast<unsigned char>(bytes[i + 3]) << 8;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        AppendUtf8(text, c);
        if (c > 0xFFFF) {
            expected += "??";
        } else {
            AppendUtf8(expected, Repertoire()[c] ? c : Substitute(c));
        }
    }
    Check(IsUtf8(text));
    const std::string encoded = rm::Utf8ToCp932(text);
    Check(encoded.size() <= text.size());
    Check(rm::Cp932ToUtf8(encoded) == expected);
}

void CheckAnyUtf8(std::string_view bytes) {
    const std::string encoded = rm::Utf8ToCp932(bytes);
    Check(encoded.size() <= bytes.size());
    Check(IsUtf8(rm::Cp932ToUtf8(encoded)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckDecoded(bytes);
    CheckUtf16(bytes);
    CheckAnyUtf8(bytes);
    return 0;
}
