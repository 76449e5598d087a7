#include <gtest/gtest.h>

#include <limits>

#include "display/placement.h"

namespace rm {
namespace {

// A laptop's own screen above its task bar, and a monitor left of it.
constexpr ScreenRect Work{0, 0, 1366, 728};
constexpr ScreenRect LeftWork{-1920, -200, 0, 880};

TEST(PanelPlacement, AWindowInsideStaysWhereItIs) {
    EXPECT_EQ(MoveInside({100, 200, 161, 216}, Work), (ScreenRect{100, 200, 161, 216}));
    EXPECT_EQ(MoveInside({0, 0, 61, 16}, Work), (ScreenRect{0, 0, 61, 16}));
    EXPECT_EQ(MoveInside({1305, 712, 1366, 728}, Work), (ScreenRect{1305, 712, 1366, 728}));
    EXPECT_EQ(MoveInside({-1000, -100, -939, -84}, LeftWork), (ScreenRect{-1000, -100, -939, -84}));
}

TEST(PanelPlacement, AWindowOffToAnySideComesToTheNearestEdgeWithItsSize) {
    EXPECT_EQ(MoveInside({-5000, 300, -4939, 316}, Work), (ScreenRect{0, 300, 61, 316}));
    EXPECT_EQ(MoveInside({3000, 300, 3061, 316}, Work), (ScreenRect{1305, 300, 1366, 316}));
    EXPECT_EQ(MoveInside({400, -900, 461, -884}, Work), (ScreenRect{400, 0, 461, 16}));
    EXPECT_EQ(MoveInside({400, 2000, 461, 2016}, Work), (ScreenRect{400, 712, 461, 728}));
    EXPECT_EQ(MoveInside({-5000, -5000, -4939, -4984}, Work), (ScreenRect{0, 0, 61, 16}));
    EXPECT_EQ(MoveInside({5000, 5000, 5061, 5016}, Work), (ScreenRect{1305, 712, 1366, 728}));
    // Onto a monitor whose coordinates are negative.
    EXPECT_EQ(MoveInside({-5000, 2000, -4939, 2016}, LeftWork), (ScreenRect{-1920, 864, -1859, 880}));
    EXPECT_EQ(MoveInside({100, -900, 161, -884}, LeftWork), (ScreenRect{-61, -200, 0, -184}));
}

TEST(PanelPlacement, AWindowPartlyOffIsPushedInJustEnough) {
    EXPECT_EQ(MoveInside({1340, 100, 1401, 116}, Work), (ScreenRect{1305, 100, 1366, 116}));
    EXPECT_EQ(MoveInside({-20, 100, 41, 116}, Work), (ScreenRect{0, 100, 61, 116}));
    EXPECT_EQ(MoveInside({500, 720, 561, 736}, Work), (ScreenRect{500, 712, 561, 728}));
    EXPECT_EQ(MoveInside({500, -5, 561, 11}, Work), (ScreenRect{500, 0, 561, 16}));
}

TEST(PanelPlacement, AWindowLargerThanTheAreaIsCutToItFromItsLeftAndTop) {
    EXPECT_EQ(MoveInside({-100, 100, 1900, 200}, Work), (ScreenRect{0, 100, 1366, 200}));
    EXPECT_EQ(MoveInside({500, -100, 600, 1000}, Work), (ScreenRect{500, 0, 600, 728}));
    EXPECT_EQ(MoveInside({3000, 3000, 6000, 6000}, Work), Work);
}

TEST(PanelPlacement, AStoredPlaceAtTheEndsOfTheNumbersGivesAWholeWindow) {
    constexpr int Largest = std::numeric_limits<int>::max(), Smallest = std::numeric_limits<int>::min();
    EXPECT_EQ(RectAt(10, 20, 61, 16), (ScreenRect{10, 20, 71, 36}));
    EXPECT_EQ(RectAt(Largest, Largest, 61, 16), (ScreenRect{Largest - 61, Largest - 16, Largest, Largest}));
    EXPECT_EQ(RectAt(Smallest, Smallest, 61, 16), (ScreenRect{Smallest, Smallest, Smallest + 61, Smallest + 16}));
    EXPECT_EQ(MoveInside(RectAt(Largest, Smallest, 61, 16), Work), (ScreenRect{1305, 0, 1366, 16}));
}

}  // namespace
}  // namespace rm
