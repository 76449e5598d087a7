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
// The text with each control byte (NUL, tab, line ends, DEL and the rest
// below a space) as its visible picture (U+2400 on), so that no window cuts
// or breaks a line at it.
std::string VisibleText(std::string_view s);
// The ASCII name of a control byte in angle brackets ("<NUL>", "<ESC>",
// "<DEL>"), which every font can draw; empty for any other byte.
std::string_view ControlMark(char c);
// The text with each control byte as its mark.
std::string MarkedText(std::string_view s);

}  // namespace rm
