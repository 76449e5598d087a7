// Positional text files: numbered lines in Shift-JIS, each ended by CR LF.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rm {

// The first count lines of a file's bytes, as UTF-8; lines missing at the end
// read as empty. A line ends at CR LF, LF or a lone CR.
std::vector<std::string> LinesOf(std::string_view bytes, std::size_t count);

// How many lines the bytes hold; a last line without its end counts.
std::size_t LineCount(std::string_view bytes);

// The lines in Shift-JIS, each followed by CR LF.
std::string FileTextOf(const std::vector<std::string>& lines);

// The version after the first prefixLength characters of a header line, read
// as a decimal number; nothing when it is not one.
std::optional<double> HeaderVersion(const std::string& header, int prefixLength);

}  // namespace rm
