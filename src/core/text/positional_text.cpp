#include "text/positional_text.h"

#include <charconv>
#include <cmath>

#include "text/chars.h"
#include "text/cp932.h"

namespace rm {

std::vector<std::string> LinesOf(std::string_view bytes, std::size_t count) {
    std::vector<std::string> lines;
    lines.reserve(count);
    std::size_t pos = 0;
    while (lines.size() < count && pos < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = bytes.size();
        lines.push_back(Cp932ToUtf8(bytes.substr(pos, end - pos)));
        pos = end + 1;
        if (bytes.substr(end, 2) == "\r\n") ++pos;
    }
    lines.resize(count);
    return lines;
}

std::size_t LineCount(std::string_view bytes) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < bytes.size(); ++count) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = bytes.size();
        pos = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return count;
}

std::string FileTextOf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += Utf8ToCp932(line);
        text += "\r\n";
    }
    return text;
}

std::optional<double> HeaderVersion(const std::string& header, int prefixLength) {
    const std::string version = right(header, CharCount(header) - prefixLength);
    double value = 0;
    const char* end = version.data() + version.size();
    const auto [stop, ec] = std::from_chars(version.data(), end, value);
    if (ec != std::errc{} || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace rm
