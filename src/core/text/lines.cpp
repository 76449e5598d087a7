#include "text/lines.h"

#include <algorithm>

namespace rm {

std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < bytes.size();) {
        // Two single-byte searches: find_first_of looks each byte up in its
        // set, which made the history graph's start several times slower.
        const std::string_view rest = bytes.substr(pos, bytes.find('\n', pos) - pos);
        const std::size_t length = std::min(rest.find('\r'), rest.size());
        lines.push_back(rest.substr(0, length));
        pos += length + (bytes.substr(pos + length, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

}  // namespace rm
