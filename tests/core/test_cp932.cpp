#include <gtest/gtest.h>

#include <string>

#include "text/cp932.h"

namespace rm {
namespace {

using namespace std::string_literals;

TEST(Cp932, JapaneseTextRoundTrips) {
    for (const std::string text : {
             "接続を切断しました。再接続しますか？",
             "Ｒｏｕｔａｖｉｓｔａ",
             "ﾀﾞｳﾝﾛｰﾄﾞ後切断",
             "192.168.0.1 応答なし\r\nC:\\ログ\\履歴.txt",
             "①～⑳ ㈱ ∵ Ⅹ 髙 﨑",
         }) {
        const std::string bytes = Utf8ToCp932(text);
        EXPECT_EQ(bytes.find('?'), std::string::npos) << text;
        EXPECT_EQ(Cp932ToUtf8(bytes), text);
    }
    EXPECT_EQ(Utf8ToCp932(""), "");
    EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(Cp932, KnownCodes) {
    const struct {
        std::string text;
        std::string bytes;
    } cases[] = {
        {"接続", "\x90\xDA\x91\xB1"},
        {"ｱ", "\xB1"},
        {"｡ﾟ", "\xA1\xDF"},
        {"Ａ", "\x82\x60"},
        {"～", "\x81\x60"},
        {"①", "\x87\x40"},
        {"髙", "\xFB\xFC"},
        {"\\~", "\x5C\x7E"},
        {"\u0080\uF8F0\uF8F1\uF8F3", "\x80\xA0\xFD\xFF"},  // bytes Windows maps outside JIS
        {"\uE000\uE757", "\xF0\x40\xF9\xFC"},              // user-defined characters
        {"a\0b"s, "a\0b"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToCp932(c.text), c.bytes) << c.text;
        EXPECT_EQ(Cp932ToUtf8(c.bytes), c.text) << c.text;
    }
}

TEST(Cp932, DuplicatedCharactersGetWindowsCode) {
    // NEC-selected IBM extensions read fine but are written as IBM extensions.
    EXPECT_EQ(Cp932ToUtf8("\xED\x40\xEE\xEF"), "纊ⅰ");
    EXPECT_EQ(Utf8ToCp932("纊ⅰ"), "\xFA\x5C\xFA\x40");
    // Copies of JIS symbols in the NEC and IBM rows are written as the JIS ones.
    EXPECT_EQ(Cp932ToUtf8("\x87\x9A\xFA\x5B\xEE\xF9"), "∵∵\uFFE2");
    EXPECT_EQ(Utf8ToCp932("∵\uFFE2"), "\x81\xE6\x81\xCA");
}

TEST(Cp932, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp932("한국어"), "???");
    EXPECT_EQ(Utf8ToCp932("a\u301Cb\u2212c"), "a?b?c");  // JIS look-alikes Windows refuses
    EXPECT_EQ(Utf8ToCp932("\uFFFD"), "?");
    // Windows converts UTF-16, so a character beyond U+FFFF gives two.
    EXPECT_EQ(Utf8ToCp932("x😀y𠮷"), "x??y??");
}

TEST(Cp932, BestFitLikeWindows) {
    EXPECT_EQ(Utf8ToCp932("¥100"), "\\100");
    EXPECT_EQ(Utf8ToCp932("Café Ñ"), "Cafe N");
    EXPECT_EQ(Utf8ToCp932("«¢»"), "\x81\xE1\x81\x91\x81\xE2");
    EXPECT_EQ(Utf8ToCp932("ゔ"), "\x83\x94");
}

// What would not come back from a file as it was typed.
TEST(Cp932, TheFirstCharacterThatWouldNotComeBackIsNamed) {
    EXPECT_EQ(FirstCharNotInCp932("José"), "é");
    EXPECT_EQ(FirstCharNotInCp932("𠮷野家"), "𠮷");
    EXPECT_EQ(FirstCharNotInCp932("C:\\¥100"), "¥");
    EXPECT_EQ(FirstCharNotInCp932("a\u301Cb\u2212c"), "\u301C");
    EXPECT_EQ(FirstCharNotInCp932("한국어"), "한");
    EXPECT_EQ(FirstCharNotInCp932("Ñandú"), "Ñ");
    for (const char* kept : {"", "RMonitor.ini", "C:\\音\\on.wav", "①～⑳ ㈱ ∵ Ⅹ 髙 﨑", "ﾀﾞｳﾝﾛｰﾄﾞ", "ＡＢＣ ・ \r\n\t~\\"}) {
        EXPECT_EQ(FirstCharNotInCp932(kept), "") << kept;
    }
}

TEST(Cp932, BrokenDoubleBytesDecodeAsWindowsDefaultChar) {
    EXPECT_EQ(Cp932ToUtf8("\x90"), "・");
    EXPECT_EQ(Cp932ToUtf8("\x90\xDA\x91"), "接・");
    EXPECT_EQ(Cp932ToUtf8("\x81\x20" "A"), "・A");  // the trail byte goes with it
    EXPECT_EQ(Cp932ToUtf8("\x85\x40\xEF\xFC"), "・・");  // pairs with no character
    EXPECT_EQ(Cp932ToUtf8("\x81\0A"s), "・\0A"s);        // NUL is never a trail byte
}

TEST(Cp932, InvalidUtf8IsOneUnmappableCharacterPerBrokenSequence) {
    EXPECT_EQ(Utf8ToCp932("\x80"), "?");
    EXPECT_EQ(Utf8ToCp932("\xFF\xFE"), "??");
    EXPECT_EQ(Utf8ToCp932("接\xE6\x8E"), "\x90\xDA?");   // truncated at the end
    EXPECT_EQ(Utf8ToCp932("\xE6\x8E" "A"), "?A");        // cut short by ASCII
    EXPECT_EQ(Utf8ToCp932("\xE6\xE6\x8E\xA5"), "?\x90\xDA");
    EXPECT_EQ(Utf8ToCp932("\xC0\xAF"), "??");            // overlong '/'
    EXPECT_EQ(Utf8ToCp932("\xE0\x80\xAF"), "???");
    EXPECT_EQ(Utf8ToCp932("\xED\xA0\x80"), "???");       // encoded surrogate
    EXPECT_EQ(Utf8ToCp932("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
    EXPECT_EQ(Utf8ToCp932("\xF0\x9F\x98"), "?");
}

TEST(Cp932, EveryPairDecodesToACharacterThatEncodesBack) {
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x01; trail <= 0xFF; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = Cp932ToUtf8(bytes);
            EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(text)), text) << std::hex << lead << ' ' << trail;
        }
    }
}

}  // namespace
}  // namespace rm
