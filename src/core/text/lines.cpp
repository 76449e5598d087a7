#include "text/lines.h"

namespace rm {

std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < bytes.size();) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = bytes.size();
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

}  // namespace rm
