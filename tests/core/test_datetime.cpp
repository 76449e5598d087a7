#include <gtest/gtest.h>

#include "text/datetime.h"

namespace rm {
namespace {

TEST(DateTime, DaysSince18991230WithTimeAsFraction) {
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 1, 1, 12}), 2.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 1, 1}), 36526.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2026, 12, 7, 6}), 46363.25);
}

TEST(DateTime, DecodeRoundTripsToTheMillisecond) {
    for (const CivilTime t : {CivilTime{2026, 12, 31, 23, 59, 59, 999}, CivilTime{2024, 2, 29, 0, 0, 0, 1},
                              CivilTime{1999, 1, 1, 12, 0, 0, 0}, CivilTime{1899, 12, 29, 18, 0, 0, 0}}) {
        const CivilTime back = DecodeDateTime(EncodeDateTime(t));
        EXPECT_EQ((std::array{back.Year, back.Month, back.Day, back.Hour, back.Minute, back.Second,
                              back.Millisecond}),
                  (std::array{t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, t.Millisecond}));
    }
}

TEST(DateTime, TextsHaveFixedWidthDigits) {
    const CivilTime t{2003, 1, 2, 9, 5, 0, 0};
    EXPECT_EQ(DateText(t, '/'), "2003/01/02");
    EXPECT_EQ(DateText(t), "20030102");
    EXPECT_EQ(TimeText(t), "09:05:00");
    EXPECT_EQ(TimeText({2026, 12, 31, 23, 59, 59, 999}), "23:59:59");
}

}  // namespace
}  // namespace rm
