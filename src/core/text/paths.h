// Windows paths as the settings hold them.
#pragma once

#include <string>

namespace rm {

// The folder of a file path, with its trailing backslash ("C:\Tools\x.exe"
// gives "C:\Tools\"); empty for a bare file name.
inline std::string FolderOf(const std::string& path) {
    const std::size_t end = path.find_last_of("\\:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

}  // namespace rm
