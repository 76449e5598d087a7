// Text cut into lines: the one rule for every file and text the programs read.
#pragma once

#include <string_view>
#include <vector>

namespace rm {

// Every line of a text, without its end: a line ends at CR LF, LF or a lone
// CR, and a last line without its end counts.
std::vector<std::string_view> SplitLines(std::string_view bytes);

}  // namespace rm
