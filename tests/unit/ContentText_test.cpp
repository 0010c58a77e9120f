#include "content/ContentText.h"

#include "common/TextUtil.h"
#include "tests/unit/TestCodePage.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace plumwick;

namespace {

std::string Bytes(std::initializer_list<unsigned char> list) {
    return std::string(list.begin(), list.end());
}

std::u16string Decode(const std::string& bytes) {
    static const test::IconvCodePage gbk;
    return DecodeContentBytes(bytes, gbk);
}

// The rule as first written: replace until the pattern is gone.
std::u16string NaiveNormalise(std::u16string text, SplitOption option) {
    std::u16string from = option == SplitOption::DoubleBreak ? u"\r\n\r\n\r\n" : u"\r\n\r\n";
    std::u16string to = option == SplitOption::DoubleBreak ? u"\r\n\r\n" : u"\r\n";
    while (text.find(from) != std::u16string::npos) {
        text = ReplaceAll(text, from, to);
    }
    return text;
}

std::string Show(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out += c == u'\r' ? std::string("\\r") : c == u'\n' ? std::string("\\n") : std::string(1, char(c));
    }
    return out;
}

using Lines = std::vector<std::u16string>;

} // namespace

TEST(DecodeContentBytes, FollowsTheByteOrderMarkAndHidesIt) {
    // "公告" is U+516C U+544A.
    const struct {
        const char* what;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "A\xE5\x85\xAC\xE5\x91\x8A",
         u"A公告"},
        {"UTF-16 LE", Bytes({0xFF, 0xFE, 'A', 0, 0x6C, 0x51, 0x4A, 0x54}), u"A公告"},
        {"UTF-16 BE", Bytes({0xFE, 0xFF, 0, 'A', 0x51, 0x6C, 0x54, 0x4A}), u"A公告"},
        {"UTF-16 LE odd last byte", Bytes({0xFF, 0xFE, 'A', 0, 'B'}), u"A"},
        {"UTF-16 BE odd last byte", Bytes({0xFE, 0xFF, 0, 'A', 0}), u"A"},
        {"UTF-16 line breaks", Bytes({0xFF, 0xFE, '\r', 0, '\n', 0}), u"\r\n"},
        {"UTF-8 mark only", "\xEF\xBB\xBF", u""},
        {"UTF-16 LE mark only", Bytes({0xFF, 0xFE}), u""},
        {"UTF-16 BE mark only", Bytes({0xFE, 0xFF}), u""},
        {"UTF-8 without mark", "\xE5\x85\xAC\xE5\x91\x8A\r\n", u"公告\r\n"},
        {"GBK", "\xB9\xAB\xB8\xE6 A", u"公告 A"},
        {"ASCII", "plain", u"plain"},
        {"empty", "", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Decode(c.bytes), c.text) << c.what;
    }
}

TEST(DecodeContentBytes, EndsTheTextAtItsFirstNul) {
    EXPECT_EQ(Decode(std::string("AB\0CD", 5)), u"AB");
    EXPECT_EQ(Decode(std::string("\xB9\xAB\0\xB8\xE6", 5)), u"公");
    EXPECT_EQ(Decode(Bytes({0xFF, 0xFE, 'A', 0, 0, 0, 'B', 0})), u"A");
    EXPECT_EQ(Decode(Bytes({0xFE, 0xFF, 0, 0, 0, 'B'})), u"");
    // Its own file only: the next file still follows.
    EXPECT_EQ(BuildMessageList({Decode(std::string("A\0x", 3)), Decode("B")}, SplitOption::SingleBreak),
              (Lines{u"A", u"B"}));
}

TEST(NormaliseLineBreaks, CollapsesRunsOfBreaks) {
    const struct {
        std::u16string in;
        SplitOption option;
        std::u16string out;
    } cases[] = {
        {u"A\r\n\r\nB\r\n", SplitOption::SingleBreak, u"A\r\nB\r\n"},
        {u"A\r\n\r\n\r\n\r\n\r\nB", SplitOption::SingleBreak, u"A\r\nB"},
        {u"A\r\n\r\nB", SplitOption::DoubleBreak, u"A\r\n\r\nB"},
        {u"A\r\n\r\n\r\n\r\nB", SplitOption::DoubleBreak, u"A\r\n\r\nB"},
        {u"\r\r\n\n\r\n\r\n", SplitOption::SingleBreak, u"\r\r\n\n\r\n"},
        {u"A\n\nB\r\rC", SplitOption::SingleBreak, u"A\n\nB\r\rC"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormaliseLineBreaks(c.in, c.option), c.out) << Show(c.in);
    }
}

TEST(NormaliseLineBreaks, MatchesRepeatedReplacementOnEveryShortAndManyLongInputs) {
    const char16_t alphabet[] = {u'\r', u'\n', u'a'};
    auto check = [](const std::u16string& text) {
        for (SplitOption option : {SplitOption::SingleBreak, SplitOption::DoubleBreak}) {
            ASSERT_EQ(NormaliseLineBreaks(text, option), NaiveNormalise(text, option))
                << Show(text) << (option == SplitOption::DoubleBreak ? " double" : " single");
        }
    };
    // Every text of up to 9 characters over CR, LF and a letter.
    for (int length = 0; length <= 9; ++length) {
        int count = 1;
        for (int i = 0; i < length; ++i) {
            count *= 3;
        }
        for (int code = 0; code < count; ++code) {
            std::u16string text;
            for (int i = 0, rest = code; i < length; ++i, rest /= 3) {
                text.push_back(alphabet[rest % 3]);
            }
            check(text);
        }
    }
    // Long texts made of whole breaks, stray CRs and LFs and letters.
    std::mt19937 random(20240607);
    const std::u16string pieces[] = {u"\r\n", u"\r\n", u"\r\n", u"\r", u"\n", u"a", u"公"};
    for (int round = 0; round < 2000; ++round) {
        std::u16string text;
        int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i) {
            text += pieces[random() % std::size(pieces)];
        }
        check(text);
    }
}

TEST(NormaliseLineBreaks, CollapsesAVeryLongRun) {
    std::u16string text;
    for (int i = 0; i < 100'000; ++i) {
        text += u"\r\n";
    }
    text += u"end";
    EXPECT_EQ(NormaliseLineBreaks(text, SplitOption::SingleBreak), u"\r\nend");
    EXPECT_EQ(NormaliseLineBreaks(text, SplitOption::DoubleBreak), u"\r\n\r\nend");
}

TEST(UnifyLineBreaks, EndsLinesAtLfAndCrAloneAsAtCrLf) {
    const struct {
        std::u16string in;
        std::u16string out;
    } cases[] = {
        {u"a\nb", u"a\r\nb"},
        {u"a\rb", u"a\r\nb"},
        {u"a\r\nb", u"a\r\nb"},
        {u"\n\r", u"\r\n\r\n"},         // LF then CR: two ends, not one reversed pair
        {u"\r\r\n\n", u"\r\n\r\n\r\n"}, // CR, CR LF, LF
        {u"\r", u"\r\n"},
        {u"", u""},
        {u"公告", u"公告"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnifyLineBreaks(c.in), c.out) << Show(c.in);
    }
}

TEST(SplitMessages, CutsAtEverySeparatorKeepingEmptyPieces) {
    EXPECT_EQ(SplitMessages(u"", SplitOption::SingleBreak), Lines{});
    EXPECT_EQ(SplitMessages(u"", SplitOption::DoubleBreak), Lines{});
    EXPECT_EQ(SplitMessages(u"\r\n", SplitOption::SingleBreak), (Lines{u"", u""}));
    EXPECT_EQ(SplitMessages(u"A\r\nB", SplitOption::SingleBreak), (Lines{u"A", u"B"}));
    EXPECT_EQ(SplitMessages(u"A\r\nB", SplitOption::DoubleBreak), (Lines{u"A\r\nB"}));
    EXPECT_EQ(SplitMessages(u"A\r\n\r\nB\r\n\r\n", SplitOption::DoubleBreak), (Lines{u"A", u"B", u""}));
}

TEST(BuildMessageList, TurnsFilesIntoMessageLines) {
    const struct {
        const char* what;
        std::vector<std::u16string> files;
        SplitOption option;
        Lines lines;
    } cases[] = {
        {"two breaks become one", {u"A\r\n\r\nB\r\n"}, SplitOption::SingleBreak, {u"A", u"B", u""}},
        {"empty line separates", {u"A\r\n\r\nB\r\n"}, SplitOption::DoubleBreak, {u"A", u"B\r\n"}},
        {"four breaks separate once", {u"A\r\n\r\n\r\n\r\nB"}, SplitOption::DoubleBreak, {u"A", u"B"}},
        {"paragraph stays whole", {u"one\r\ntwo"}, SplitOption::DoubleBreak, {u"one\r\ntwo"}},
        {"unterminated file ends its line",
         {u"A\r\nB", u"C\r\nD"},
         SplitOption::SingleBreak,
         {u"A", u"B", u"C", u"D"}},
        {"unterminated file, blank-line split",
         {u"A\r\nB", u"C"},
         SplitOption::DoubleBreak,
         {u"A\r\nB\r\nC"}},
        {"terminated file gets no second break", {u"A\r\n", u"B"}, SplitOption::DoubleBreak, {u"A\r\nB"}},
        {"break split across files", {u"A\r", u"\nB"}, SplitOption::SingleBreak, {u"A", u"B"}},
        {"LF alone ends a line",
         {u"one\ntwo\nthree\n"},
         SplitOption::SingleBreak,
         {u"one", u"two", u"three", u""}},
        {"CR alone ends a line", {u"one\rtwo\r"}, SplitOption::SingleBreak, {u"one", u"two", u""}},
        {"LF blank line separates", {u"a\nb\n\nc\n"}, SplitOption::DoubleBreak, {u"a\r\nb", u"c\r\n"}},
        {"mixed ends in one file", {u"a\r\nb\nc\rd"}, SplitOption::SingleBreak, {u"a", u"b", u"c", u"d"}},
        {"empty file between", {u"A", u"", u"B"}, SplitOption::SingleBreak, {u"A", u"B"}},
        {"unreadable files add nothing", {u"", u"A", u""}, SplitOption::SingleBreak, {u"A"}},
        {"nothing at all", {}, SplitOption::SingleBreak, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildMessageList(c.files, c.option), c.lines) << c.what;
    }
}

TEST(ParseInterval, AcceptsWholeSecondsRoundedDownFromZeroToSixty) {
    const struct {
        const char16_t* field;
        std::optional<int> seconds;
    } cases[] = {
        {u"20", 20},
        {u" 5 ", 5},
        {u"0", 0},
        {u"60", 60},
        {u"60.9", 60},
        {u"0.7", 0},
        {u"-0", 0},
        {u"61", std::nullopt},
        {u"-0.5", std::nullopt},
        {u"-1", std::nullopt},
        {u"", std::nullopt},
        {u"  ", std::nullopt},
        {u"abc", std::nullopt},
        {u"12s", std::nullopt},
        {u"1e9", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseInterval(c.field), c.seconds) << Utf16ToUtf8(c.field);
    }
}

TEST(PublicationBudget, FilesPastTheTotalAreLeftOutWholeAndSmallerLaterOnesStillFit) {
    const std::size_t mib = std::size_t{1} << 20;
    std::vector<bool> fits = FitPublicationBudget({40 * mib, 30 * mib, 24 * mib, 1}, kPublishMaxBytes);
    EXPECT_EQ(fits, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(FitPublicationBudget({kPublishMaxBytes}, kPublishMaxBytes), std::vector<bool>{true});
    EXPECT_EQ(FitPublicationBudget({}, kPublishMaxBytes), std::vector<bool>{});
}

TEST(PublicationBudget, LinesPastTheLimitAreCountedNotBuilt) {
    std::size_t leftOut = 99;
    std::vector<std::u16string> lines =
        SplitMessages(u"a\r\nb\r\nc\r\nd", SplitOption::SingleBreak, 2, leftOut);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(leftOut, 2u);
    lines = SplitMessages(u"a\r\n\r\nb", SplitOption::DoubleBreak, 2, leftOut);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(leftOut, 0u);

    // A million and one lines: the last is left out.
    std::u16string many;
    for (std::size_t i = 0; i < kPublishMaxLines; ++i) {
        many += u"x\r\n";
    }
    lines = SplitMessages(many, SplitOption::SingleBreak, kPublishMaxLines, leftOut);
    EXPECT_EQ(lines.size(), kPublishMaxLines);
    EXPECT_EQ(leftOut, 1u);
}

TEST(PublicationBudget, TheNoticeNamesTheFilesAndCountsTheLinesLeftOut) {
    std::u16string notice = PublicationCutNotice({u"big.txt", u"huge.txt"}, 0);
    EXPECT_NE(notice.find(u"big.txt"), std::u16string::npos);
    EXPECT_NE(notice.find(u"huge.txt"), std::u16string::npos);
    EXPECT_EQ(notice.find(u"lines after"), std::u16string::npos);
    notice = PublicationCutNotice({}, 1234);
    EXPECT_NE(notice.find(u"1234"), std::u16string::npos);
    notice = PublicationCutNotice({u"1.txt", u"2.txt", u"3.txt", u"4.txt", u"5.txt", u"6.txt", u"7.txt"}, 0);
    EXPECT_EQ(notice.find(u"6.txt"), std::u16string::npos) << "a notice names a few files, not all";
    EXPECT_NE(notice.find(u"2 "), std::u16string::npos);
}
