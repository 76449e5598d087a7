// UTF-8 inside, UTF-16 at the Win32 API.
#pragma once

#include <string>
#include <string_view>

namespace rm::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace rm::win
