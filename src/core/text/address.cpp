#include "text/address.h"

#include <algorithm>

#include "text/numbers.h"

namespace rm {

std::optional<std::array<std::uint8_t, 4>> ParseIpv4Address(std::string_view text) {
    std::array<std::uint8_t, 4> parts{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t end = i < 3 ? text.find('.') : text.size();
        if (end == std::string_view::npos || end > 3) return std::nullopt;
        const auto value = WholeNumber(text.substr(0, end), 0, 255);
        if (!value) return std::nullopt;
        parts[i] = static_cast<std::uint8_t>(*value);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return parts;
}

}  // namespace rm
