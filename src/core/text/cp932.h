// Conversion between the program's UTF-8 and the Shift-JIS (code page 932)
// of files and datagrams, as Windows converts with code page 932.
#pragma once

#include <string>
#include <string_view>

namespace rm {

std::string Utf8ToCp932(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view bytes);

}  // namespace rm
