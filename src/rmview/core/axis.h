// The time axis of a chart: round steps in minutes or hours.
#pragma once

#include <cstdint>
#include <string>

namespace rmview {

struct TimeAxis {
    std::int64_t Step = 3600;  // seconds between grid lines
    int Steps = 1;             // grid lines above zero; the top one is the axis's end
};

// The smallest round step that reaches the longest bar in at most five steps.
TimeAxis AxisFor(std::int64_t longestSeconds);
// "30分", "2時間": whole hours in hours, the rest in minutes.
std::string AxisLabel(std::int64_t seconds);

}  // namespace rmview
