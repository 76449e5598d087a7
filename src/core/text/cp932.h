// Conversion between the program's UTF-8 and the Shift-JIS (code page 932)
// of files and datagrams, as Windows converts with code page 932.
#pragma once

#include <string>
#include <string_view>

namespace rm {

std::string Utf8ToCp932(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view bytes);

// The longest start of a Shift-JIS text of at most maxBytes bytes that does
// not end inside a double-byte character.
std::string_view Cp932Head(std::string_view bytes, std::size_t maxBytes);

// The printable characters of a Shift-JIS text, each kept or dropped whole:
// control bytes, a lead byte without its trail, a pair that holds no
// character and the code page's private-use ones go; a lead byte followed by
// a byte that cannot trail goes alone.
std::string Cp932PrintableChars(std::string_view bytes);

// The first character of the text that code page 932 cannot hold: Windows
// would write "?" or a look-alike in its place ("é" as "e", "¥" as a backslash).
// Empty when every character comes back as it was.
std::string FirstCharNotInCp932(std::string_view utf8);

}  // namespace rm
