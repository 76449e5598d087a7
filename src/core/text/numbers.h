// Number conversions of settings values and addresses.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rm {

// A decimal integer: optional sign and digits, within 32 bits; nothing else.
std::optional<std::int32_t> StrToInt(std::string_view text);

// Digits only, no sign or blank, read as a decimal number from lowest to
// highest; nothing otherwise.
std::optional<std::int32_t> WholeNumber(std::string_view text, std::int32_t lowest, std::int32_t highest);

}  // namespace rm
