#include "syslog/syslog_line.h"

#include <algorithm>

#include "text/cp932.h"

namespace rm {

std::string CleanLine(std::string_view raw) {
    std::string clean(raw.size(), '\0');
    const auto end = std::copy_if(raw.begin(), raw.end(), clean.begin(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte <= 0x7F;
    });
    clean.erase(end, clean.end());
    return clean;
}

std::string ViewLine(std::string_view datagram, bool simple) {
    const std::string_view kept = Cp932Head(datagram, MaxSyslogLineBytes);
    std::string line = simple ? Cp932PrintableChars(kept) : std::string(kept);
    if (kept.size() < datagram.size()) {
        line += Utf8ToCp932("…（以下 " + std::to_string(datagram.size() - kept.size()) + " バイト省略）");
    }
    return line;
}

namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string EscapedControlBytes(std::string_view line) {
    if (std::none_of(line.begin(), line.end(), IsControl)) return std::string(line);
    std::string escaped;
    escaped.reserve(line.size());
    for (const char c : line) {
        if (!IsControl(c)) {
            escaped += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        escaped += '#';
        escaped += static_cast<char>('0' + (byte >> 6));
        escaped += static_cast<char>('0' + ((byte >> 3) & 7));
        escaped += static_cast<char>('0' + (byte & 7));
    }
    return escaped;
}

}  // namespace rm
