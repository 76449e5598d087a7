// Conversion between the program's UTF-8 and the Shift-JIS (code page 932)
// of files and datagrams, as Windows converts with code page 932.
#pragma once

#include <string>
#include <string_view>

namespace rm {

std::string Utf8ToCp932(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view bytes);

// The first character of the text that code page 932 cannot hold: Windows
// would write "?" or a look-alike in its place ("é" as "e", "¥" as a backslash).
// Empty when every character comes back as it was.
std::string FirstCharNotInCp932(std::string_view utf8);

}  // namespace rm
