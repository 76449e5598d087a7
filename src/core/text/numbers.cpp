#include "text/numbers.h"

#include <charconv>

namespace rm {

std::optional<std::int32_t> StrToInt(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::int32_t> WholeNumber(std::string_view text, std::int32_t lowest, std::int32_t highest) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    const auto value = StrToInt(text);
    if (!value || *value < lowest || *value > highest) return std::nullopt;
    return value;
}

}  // namespace rm
