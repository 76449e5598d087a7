// The syslog viewer's line store: months of running must not fill the memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "state/view.h"

namespace rm {

// The viewer keeps the newest MaxViewerLines lines, each with the separator
// row after it. The oldest go in steps of ViewerTrimStep, so that dropping
// them costs little per line; at most MaxViewerLines + ViewerTrimStep lines
// are held. The daily files keep everything.
inline constexpr std::size_t MaxViewerLines = 100'000;
inline constexpr std::size_t ViewerTrimStep = 10'000;
inline constexpr std::string_view ViewerSeparator = "---";

void AppendViewerLine(SyslogViewerView& viewer, std::string line);
// The "---" row after a line.
void AppendViewerSeparator(SyslogViewerView& viewer);
// Drops every row; Added goes on counting.
void ClearViewerLines(SyslogViewerView& viewer);

}  // namespace rm
