#include "common/Numeric.h"
#include "common/TextUtil.h"

#include <gtest/gtest.h>

using namespace plumwick;

TEST(RoundHalfEven, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
    EXPECT_EQ(RoundHalfEven(-1.6), -2.0);
}

TEST(ParseNumber, AcceptsBlanksSignsFractionsAndExponents) {
    EXPECT_EQ(ParseNumber(u" 36 "), 36.0);
    EXPECT_EQ(ParseNumber(u"-0.5"), -0.5);
    EXPECT_EQ(ParseNumber(u"+.5"), 0.5);
    EXPECT_EQ(ParseNumber(u"1e3"), 1000.0);
    EXPECT_EQ(ParseNumber(std::string_view(" 10.5 ")), 10.5);
}

TEST(ParseNumber, RejectsEmptyPartialAndNonNumericText) {
    for (auto text : {u"", u"  ", u"x", u"12x", u"1 2", u".", u"-", u"|900", u"2||900", u"1e"}) {
        EXPECT_FALSE(ParseNumber(std::u16string_view(text)).has_value()) << Utf16ToUtf8(text);
    }
    EXPECT_FALSE(ParseNumber(u"1e999").has_value());
}

TEST(ParseInt16, RoundsAndChecksTheRange) {
    EXPECT_EQ(ParseInt16(u"8940"), 8940);
    EXPECT_EQ(ParseInt16(u"32767"), 32767);
    EXPECT_EQ(ParseInt16(u"-32768"), -32768);
    EXPECT_EQ(ParseInt16(u"0.5"), 0);
    EXPECT_EQ(ParseInt16(u"1.5"), 2);
    EXPECT_FALSE(ParseInt16(u"40000").has_value());
    EXPECT_FALSE(ParseInt16(u"32767.6").has_value());
}

TEST(LeadingNumber, TakesTheNumberAtTheStart) {
    EXPECT_EQ(LeadingNumber(u"87"), 87.0);
    EXPECT_EQ(LeadingNumber(u"  87abc"), 87.0);
    EXPECT_EQ(LeadingNumber(u"abc"), 0.0);
    EXPECT_EQ(LeadingNumber(u""), 0.0);
}

TEST(Utf, RoundTripsAndReplacesMalformedInput) {
    std::string chinese = "欢迎您的光临 \xF0\x9F\x98\x80";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(chinese)), chinese);
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), u"\uFFFD\uFFFD"); // overlong NUL
    EXPECT_TRUE(IsValidUtf8(chinese));
    EXPECT_FALSE(IsValidUtf8("\xB5\xC4"));     // GBK bytes
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // encoded surrogate
    // Handed to other programs as UTF-16, a lone surrogate becomes U+FFFD and a pair stays.
    EXPECT_EQ(WellFormedUtf16(u"a\xD800"
                              u"b\xDC00\xD83D\xDE00\xDE00\xD83D"),
              u"a\uFFFDb\uFFFD\xD83D\xDE00\uFFFD\uFFFD");
    EXPECT_EQ(WellFormedUtf16(u"欢迎"), u"欢迎");
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlap) {
    EXPECT_EQ(ReplaceAll(u"\r\n\r\n\r\n", u"\r\n\r\n", u"\r\n"), u"\r\n\r\n");
    EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
    EXPECT_EQ(ReplaceAll(u"abc", u"", u"x"), u"abc");
}
