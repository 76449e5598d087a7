// Cutting texts by characters, not bytes: a Japanese character counts as one.
#pragma once

#include <string>
#include <string_view>

namespace rm {

// The last n characters of s; all of s when n is not smaller than its length.
std::string right(std::string_view s, int n);
// The first n characters of s.
std::string tleft(std::string_view s, int n);
// Characters in a UTF-8 text.
int CharCount(std::string_view s);

}  // namespace rm
