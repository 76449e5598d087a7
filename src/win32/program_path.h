// Where the running program file is.
#pragma once

#include <filesystem>

namespace rm::win {

std::filesystem::path ProgramPath();

}  // namespace rm::win
