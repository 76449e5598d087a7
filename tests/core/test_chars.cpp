#include <gtest/gtest.h>

#include "text/chars.h"

namespace rm {
namespace {

TEST(Chars, RightCountsJapaneseCharactersAsOne) {
    EXPECT_EQ(right("RMonitor PC Name =たろう", 3), "たろう");
    EXPECT_EQ(right("ﾀﾞｳﾝﾛｰﾄﾞ", 2), "ﾄﾞ");
    EXPECT_EQ(right("0123456789", 7), "3456789");
    EXPECT_EQ(right("接続", 2), "接続");
    EXPECT_EQ(right("接続", 5), "接続");
    EXPECT_EQ(right("接続", 0), "");
    EXPECT_EQ(right("接続", -1), "");
    EXPECT_EQ(right("", 3), "");
}

TEST(Chars, TleftCountsJapaneseCharactersAsOne) {
    EXPECT_EQ(tleft("RMonitor PC Name =たろう", 18), "RMonitor PC Name =");
    EXPECT_EQ(tleft("ルーター接続", 3), "ルー\xE3\x82\xBF");
    EXPECT_EQ(tleft("ab接続", 3), "ab接");
    EXPECT_EQ(tleft("接続", 9), "接続");
    EXPECT_EQ(tleft("接続", 0), "");
    EXPECT_EQ(CharCount("Ｒｏｕｔａｖｉｓｔａ4"), 11);
}

TEST(Chars, VisibleTextShowsEveryControlByteAndKeepsWhatFollows) {
    using namespace std::string_literals;
    EXPECT_EQ(VisibleText("a\0b"s), "a\u2400b");
    EXPECT_EQ(VisibleText("\t\r\n\x1F\x7F"), "\u2409\u240D\u240A\u241F\u2421");
    EXPECT_EQ(VisibleText("接続 ok ~"), "接続 ok ~");
    EXPECT_EQ(VisibleText(""), "");
}

}  // namespace
}  // namespace rm
