#include <gtest/gtest.h>

#include "rmview_support.h"
#include "usage.h"
#include "usage_page.h"

namespace rmview::test {
namespace {

PortTimes Port1(std::int64_t seconds, int calls) { return {PortTime{seconds, calls}, PortTime{}}; }

TEST(RmviewUsage, ACallAcrossMidnightIsSplitBetweenTheDaysAndCountedOnItsFirst) {
    const Usage usage = Aggregate({{1, At(2003, 1, 2, 23, 0), At(2003, 1, 3, 0, 30)}});
    const auto days = DaysOf(usage, {2003, 1});
    ASSERT_EQ(days.size(), 31u);
    EXPECT_EQ(days[1], Port1(3600, 1));
    EXPECT_EQ(days[2], Port1(1800, 0));
    EXPECT_EQ(days[3], PortTimes{});
}

TEST(RmviewUsage, ACallAcrossAMonthsAndAYearsEndIsSplitBetweenThem) {
    const Usage usage = Aggregate({{2, At(2003, 1, 31, 22, 0), At(2003, 2, 1, 1, 0)},
                                   {1, At(2003, 12, 31, 23, 59, 0), At(2004, 1, 1, 0, 0, 30)}});
    const auto months = MonthsOf(usage, 2003);
    EXPECT_EQ(months[0][1], (PortTime{7200, 1}));
    EXPECT_EQ(months[1][1], (PortTime{3600, 0}));
    EXPECT_EQ(months[11][0], (PortTime{60, 1}));
    EXPECT_EQ(MonthsOf(usage, 2004)[0][0], (PortTime{30, 0}));
    EXPECT_EQ(DaysOf(usage, {2003, 2})[0][1], (PortTime{3600, 0}));
    EXPECT_EQ(MonthsWithUsage(usage), (std::vector<YearMonth>{{2003, 1}, {2003, 2}, {2003, 12}, {2004, 1}}));
}

TEST(RmviewUsage, EachPortHasItsOwnTimesAndTotals) {
    const Usage usage = Aggregate({{1, At(2003, 1, 2, 9, 0), At(2003, 1, 2, 10, 0)},
                                   {2, At(2003, 1, 2, 9, 30), At(2003, 1, 2, 9, 40)},
                                   {1, At(2003, 1, 20, 9, 0), At(2003, 1, 20, 9, 0, 15)},
                                   {1, At(2003, 3, 1, 0, 0), At(2003, 3, 1, 0, 0)}});  // no time, still a call
    const PortTimes january = Total(DaysOf(usage, {2003, 1}));
    EXPECT_EQ(january[0], (PortTime{3615, 2}));
    EXPECT_EQ(january[1], (PortTime{600, 1}));
    const PortTimes year = Total(MonthsOf(usage, 2003));
    EXPECT_EQ(year[0], (PortTime{3615, 3}));
    EXPECT_EQ(year[1], (PortTime{600, 1}));
    EXPECT_EQ(usage.Duplicates, 0);
}

TEST(RmviewUsage, OverlappingRecordsOfOnePortAreOneCall) {
    // The same call stamped by two PCs whose clocks differ by a few seconds,
    // and a record found in both files.
    const Call own{1, At(2003, 1, 2, 9, 0, 0), At(2003, 1, 2, 10, 0, 0)};
    const Usage usage = Aggregate({own,
                                   {1, At(2003, 1, 2, 9, 0, 4), At(2003, 1, 2, 10, 0, 5)},
                                   own,
                                   {1, At(2003, 1, 2, 10, 0, 5), At(2003, 1, 2, 10, 1, 5)},  // the next call
                                   {2, At(2003, 1, 2, 9, 0, 0), At(2003, 1, 2, 10, 0, 0)}});
    EXPECT_EQ(usage.Duplicates, 2);
    const PortTimes day = DaysOf(usage, {2003, 1})[1];
    EXPECT_EQ(day[0], (PortTime{3600 + 5 + 60, 2}));
    EXPECT_EQ(day[1], (PortTime{3600, 1}));
}

TEST(RmviewUsage, MonthsStepAcrossYearsAndKnowTheirLength) {
    EXPECT_EQ(Previous({2003, 1}), (YearMonth{2002, 12}));
    EXPECT_EQ(Next({2003, 12}), (YearMonth{2004, 1}));
    EXPECT_EQ(DaysIn({2004, 2}), 29);
    EXPECT_EQ(DaysIn({2003, 2}), 28);
    EXPECT_EQ(MonthOf(At(2003, 4, 30, 23, 59, 59)), (YearMonth{2003, 4}));
    EXPECT_EQ(WeekdayOf({2003, 1}, 1), 3);  // a Wednesday
    EXPECT_EQ(WeekdayOf({2004, 2}, 29), 0);
}

TEST(RmviewPage, TotalsAndHeadingsOfTheShownMonthAndItsYear) {
    const Usage usage = Aggregate({{1, At(2003, 1, 2, 9, 0), At(2003, 1, 2, 10, 2, 3)},
                                   {2, At(2003, 1, 5, 9, 0), At(2003, 1, 5, 9, 30)},
                                   {2, At(2003, 5, 5, 9, 0), At(2003, 5, 5, 9, 30)}});
    const UsagePage page = PageOf(usage, {2003, 1});
    EXPECT_EQ(page.MonthHeading, "2003年1月 日別の接続時間");
    EXPECT_EQ(page.MonthTotals, "2003年1月の合計　Port1 1:02:03 (1回)　Port2 0:30:00 (1回)　計 1:32:03 (2回)");
    EXPECT_EQ(page.YearHeading, "2003年 月別の接続時間");
    EXPECT_EQ(page.YearTotals, "2003年の合計　Port1 1:02:03 (1回)　Port2 1:00:00 (2回)　計 2:02:03 (3回)");
    EXPECT_EQ(MonthLabel({2003, 1}), "2003年01月");
    EXPECT_EQ(DurationText(360000 + 59), "100:00:59");
}

TEST(RmviewPage, TheTextHasADayTableAndAMonthTable) {
    const Usage usage = Aggregate({{1, At(2003, 1, 1, 23, 0), At(2003, 1, 2, 0, 15)}});
    const std::string text = PageText(PageOf(usage, {2003, 1}));
    const std::string expectedStart =
        "2003年1月 日別の接続時間\r\n"
        "日\tPort1\tPort1回数\tPort2\tPort2回数\r\n"
        "1日(水)\t1:00:00\t1\t0:00:00\t0\r\n"
        "2日(木)\t0:15:00\t0\t0:00:00\t0\r\n"
        "3日(金)\t0:00:00\t0\t0:00:00\t0\r\n";
    EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
    const std::string expectedEnd =
        "31日(金)\t0:00:00\t0\t0:00:00\t0\r\n"
        "合計\t1:15:00\t1\t0:00:00\t0\r\n"
        "\r\n"
        "2003年 月別の接続時間\r\n"
        "月\tPort1\tPort1回数\tPort2\tPort2回数\r\n"
        "1月\t1:15:00\t1\t0:00:00\t0\r\n"
        "2月\t0:00:00\t0\t0:00:00\t0\r\n";
    EXPECT_NE(text.find(expectedEnd), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("12月\t0:00:00\t0\t0:00:00\t0\r\n合計\t1:15:00\t1\t0:00:00\t0\r\n")) << text;
}

TEST(RmviewPage, TheSummaryTellsRecordsDuplicatesAndDamagedLines) {
    HistoryRead read;
    EXPECT_EQ(ReadSummary(read, Usage{}), "履歴ファイル log\\Rmonitor.csv がありません");
    read.FilesFound = 1;
    read.Calls.resize(3);
    read.DamagedLines = 2;
    Usage usage;
    EXPECT_EQ(ReadSummary(read, usage), "接続記録 3件　読めない行 2行");
    usage.Duplicates = 1;
    EXPECT_EQ(ReadSummary(read, usage), "接続記録 3件 (うち重複 1件)　読めない行 2行");
}

}  // namespace
}  // namespace rmview::test
