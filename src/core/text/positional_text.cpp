#include "text/positional_text.h"

#include <charconv>
#include <cmath>

#include "text/chars.h"
#include "text/cp932.h"
#include "text/lines.h"

namespace rm {

std::vector<std::string> LinesOf(std::string_view bytes, std::size_t count) {
    const std::vector<std::string_view> split = SplitLines(bytes);
    std::vector<std::string> lines(count);
    for (std::size_t i = 0; i < count && i < split.size(); ++i) lines[i] = Cp932ToUtf8(split[i]);
    return lines;
}

std::size_t LineCount(std::string_view bytes) { return SplitLines(bytes).size(); }

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
