#include "axis.h"

namespace rmview {
namespace {

constexpr int MaxSteps = 5;
constexpr std::int64_t RoundSteps[] = {60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};

}  // namespace

TimeAxis AxisFor(std::int64_t longestSeconds) {
    if (longestSeconds <= 0) return {};
    std::int64_t step = 0;
    for (const std::int64_t round : RoundSteps) {
        if (round * MaxSteps >= longestSeconds) {
            step = round;
            break;
        }
    }
    // Past five days a step: whole days times 1, 2 or 5 times a power of ten.
    for (std::int64_t scale = 86400; step == 0; scale *= 10) {
        for (const int factor : {1, 2, 5}) {
            if (step == 0 && scale * factor * MaxSteps >= longestSeconds) step = scale * factor;
        }
    }
    return {step, static_cast<int>((longestSeconds + step - 1) / step)};
}

std::string AxisLabel(std::int64_t seconds) {
    if (seconds % 3600 == 0) return std::to_string(seconds / 3600) + "時間";
    return std::to_string(seconds / 60) + "分";
}

}  // namespace rmview
