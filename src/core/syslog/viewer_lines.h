// The syslog viewer's line store: months of running must not fill the memory.
#pragma once

#include <cstddef>
#include <string>

#include "state/view.h"

namespace rm {

// The viewer keeps the newest MaxViewerLines lines. The oldest go in steps of
// ViewerTrimStep, so that dropping them costs little per line; at most
// MaxViewerLines + ViewerTrimStep are held. The daily files keep everything.
inline constexpr std::size_t MaxViewerLines = 100'000;
inline constexpr std::size_t ViewerTrimStep = 10'000;

void AppendViewerLine(SyslogViewerView& viewer, std::string line);

}  // namespace rm
