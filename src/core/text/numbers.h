// Number conversions of settings values and addresses.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rm {

// A decimal integer: optional sign and digits, within 32 bits; nothing else.
std::optional<std::int32_t> StrToInt(std::string_view text);

}  // namespace rm
