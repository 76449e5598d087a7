// Windows paths as the settings hold them.
#pragma once

#include <string>

namespace rm {

// The folder of a file path, with its trailing backslash ("C:\Tools\x.exe"
// gives "C:\Tools\"); empty for a bare file name. The folder the settings'
// own programs (utility, Dial-Up Watcher) are opened in through the shell.
inline std::string FolderOf(const std::string& path) {
    const std::size_t end = path.find_last_of("\\:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

// The same folder named as Windows names a current folder: without the
// trailing backslash, except where that backslash is the root ("D:\", "\").
// The launcher hands it to the started program as its current folder, so an
// entry without a work folder starts as one whose folder was typed.
inline std::string FolderNameOf(const std::string& path) {
    std::string folder = FolderOf(path);
    const std::size_t size = folder.size();
    if (size > 1 && folder[size - 1] == '\\' && folder[size - 2] != ':' && folder[size - 2] != '\\') {
        folder.pop_back();
    }
    return folder;
}

}  // namespace rm
