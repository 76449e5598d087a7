#include <gtest/gtest.h>

#include "axis.h"

namespace rmview::test {
namespace {

TEST(RmviewAxis, TheLongestBarIsReachedInAtMostFiveRoundSteps) {
    EXPECT_EQ(AxisFor(0).Steps, 1);
    EXPECT_EQ(AxisFor(45).Step, 60);
    EXPECT_EQ(AxisFor(45).Steps, 1);
    EXPECT_EQ(AxisFor(3615).Step, 900);
    EXPECT_EQ(AxisFor(3615).Steps, 5);
    EXPECT_EQ(AxisFor(86400).Step, 21600);
    EXPECT_EQ(AxisFor(86400).Steps, 4);
    // A month of a line that never hung up: 744 hours.
    EXPECT_EQ(AxisFor(744 * 3600).Step, 10 * 86400);
    EXPECT_EQ(AxisFor(744 * 3600).Steps, 4);
    for (std::int64_t longest : {1, 59, 61, 3599, 3601, 17999, 90000, 2678400, 99999999}) {
        const TimeAxis axis = AxisFor(longest);
        EXPECT_GE(axis.Step * axis.Steps, longest) << longest;
        EXPECT_LE(axis.Steps, 5) << longest;
        EXPECT_LT(axis.Step * (axis.Steps - 1), longest) << longest;
    }
}

TEST(RmviewAxis, LabelsInMinutesOrWholeHours) {
    EXPECT_EQ(AxisLabel(900), "15分");
    EXPECT_EQ(AxisLabel(4500), "75分");
    EXPECT_EQ(AxisLabel(7200), "2時間");
}

}  // namespace
}  // namespace rmview::test
