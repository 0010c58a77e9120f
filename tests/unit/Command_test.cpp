#include "command/Command.h"
#include "common/TextUtil.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace plumwick;

TEST(ParseVerb, RecognisesEachVerbByItsFirstThreeUnits) {
    struct Case {
        std::u16string_view command;
        Verb verb;
    };
    const Case cases[] = {
        {u"DKCa||1||2", Verb::DKC},  {u"DLT", Verb::DLT},  {u"END", Verb::END},
        {u"TMEanything", Verb::TME}, {u"TMS", Verb::TMS},  {u"CKT ", Verb::CKT},
        {u"DKTline", Verb::DKT},     {u"HDE", Verb::HDE},  {u"ULK", Verb::ULK},
        {u"LOK", Verb::LOK},         {u"HLD5", Verb::HLD},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseVerb(c.command), c.verb) << Utf16ToUtf8(c.command);
    }
}

TEST(ParseVerb, TextsThatAreNoCommand) {
    for (std::u16string_view text :
         {u"", u"D", u"DK", u"dlt hello", u"Dlt", u"KrcMessage", u" DLT", u"XYZ", u"?status", u"hld5"}) {
        EXPECT_EQ(ParseVerb(text), Verb::None) << Utf16ToUtf8(text);
    }
    // A verb must be the very first units: a NUL inside them breaks it, a NUL after it does not.
    EXPECT_EQ(ParseVerb(std::u16string_view(u"DL\0T", 4)), Verb::None);
    EXPECT_EQ(ParseVerb(std::u16string_view(u"END\0x", 5)), Verb::END);
}

TEST(ParseHoldSeconds, TakesAWholeNumberFromOneToAnHour) {
    struct Case {
        std::u16string_view command;
        std::optional<unsigned> seconds;
    };
    const Case cases[] = {
        {u"HLD1", 1u},
        {u"HLD3600", 3600u},
        {u"HLD0030", 30u},
        {u"HLD 45 ", 45u},
        {u"HLD12\r\n", 12u}, // a script's line end
        {u"HLD0", std::nullopt},
        {u"HLD3601", std::nullopt},
        {u"HLD", std::nullopt},
        {u"HLD ", std::nullopt},
        {u"HLD-5", std::nullopt},
        {u"HLD+5", std::nullopt},
        {u"HLD2.5", std::nullopt},
        {u"HLD1e3", std::nullopt},
        {u"HLD5 5", std::nullopt},
        {u"HLD99999999999999999999", std::nullopt}, // no overflow into the range
        {u"HLD\uFF15", std::nullopt},               // fullwidth digit
        {u"hld5", std::nullopt},
        {u"DLT5", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseHoldSeconds(c.command), c.seconds) << Utf16ToUtf8(c.command);
    }
}

TEST(CommandArgument, RemovesOnlyTheLeadingVerb) {
    EXPECT_EQ(CommandArgument(u"DLTA DLT B"), u"A DLT B");
    EXPECT_EQ(CommandArgument(u"DLTone DLT two"), u"one DLT two");
    EXPECT_EQ(CommandArgument(u"DKTDKT"), u"DKT");
    EXPECT_EQ(CommandArgument(u"DLT"), u"");
    EXPECT_EQ(CommandArgument(u"DLT 欢迎您的光临 "), u" 欢迎您的光临 ");
}

TEST(SplitKaraokeFields, SplitsLikeTheSendersExpect) {
    struct Case {
        std::u16string_view argument;
        std::u16string_view text;
        std::u16string_view duration;
        std::optional<std::int16_t> textWidth;
    };
    const Case cases[] = {
        {u"Sample Artist - Sample Song||1||8940", u"Sample Artist - Sample Song", u"1", 8940},
        {u"||5||100", u"", u"5", 100},
        {u"abc||2|| 12.5 ", u"abc", u"2", 12}, // blanks allowed, halves to even
        {u"abc||2||-32768", u"abc", u"2", -32768},
        {u"a||||b||7", u"a", u"", std::nullopt}, // overlapping separators: width is "|b||7"
        // No second separator: nothing but the text is taken.
        {u"abc", u"", u"", std::nullopt},
        {u"abc||2", u"abc", u"", std::nullopt},
        // A width that is no 16-bit number.
        {u"abc||2||x", u"abc", u"2", std::nullopt},
        {u"abc||2||40000", u"abc", u"2", std::nullopt},
        {u"abc||2||", u"abc", u"2", std::nullopt},
        // The second separator begins at the second bar of the first one.
        {u"abc||||900", u"abc", u"", std::nullopt},   // width "|900"
        {u"abc|||2||900", u"abc", u"", std::nullopt}, // width "2||900"
        {u"", u"", u"", std::nullopt},
    };
    for (const Case& c : cases) {
        KaraokeFields fields = SplitKaraokeFields(c.argument);
        SCOPED_TRACE(Utf16ToUtf8(c.argument));
        EXPECT_EQ(fields.text, c.text);
        EXPECT_EQ(fields.duration, c.duration);
        EXPECT_EQ(fields.textWidth, c.textWidth);
    }
}

TEST(SplitKaraokeFields, WithoutSeparatorsTheWidthIsTheArgumentFromItsSecondCharacter) {
    EXPECT_EQ(SplitKaraokeFields(u"x250").textWidth, 250);
    EXPECT_EQ(SplitKaraokeFields(u"5").textWidth, std::nullopt); // past the end: empty, no number
    KaraokeFields fields = SplitKaraokeFields(u" 77");
    EXPECT_EQ(fields.text, u"");
    EXPECT_EQ(fields.duration, u"");
    EXPECT_EQ(fields.textWidth, 77);
}

TEST(SplitKaraokeFields, KeepsEveryCharacterOfTheFields) {
    const std::u16string text(u"a\u0000b\xD800\x0007", 5); // NUL, lone surrogate, control character
    KaraokeFields fields = SplitKaraokeFields(text + u"||\xDC00||3");
    EXPECT_EQ(fields.text, text);
    EXPECT_EQ(fields.duration, u"\xDC00");
    EXPECT_EQ(fields.textWidth, 3);
}

TEST(BoundedCommand, TakesUpToAMebiUnitAndRefusesLongerWithoutReadingPastTheBound) {
    std::u16string longest = u"DLT" + std::u16string(kMaxCommandUnits - 3, u'x');
    std::optional<std::u16string_view> taken = BoundedCommand(longest.c_str());
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->size(), kMaxCommandUnits);

    std::u16string tooLong = longest + u"y";
    EXPECT_FALSE(BoundedCommand(tooLong.c_str()));

    // No terminator anywhere in reach: the count stops one unit past the bound.
    std::vector<char16_t> unterminated(kMaxCommandUnits + 1, u'x');
    EXPECT_FALSE(BoundedCommand(unterminated.data()));

    EXPECT_EQ(BoundedCommand(nullptr), std::u16string_view());
    EXPECT_EQ(BoundedCommand(u"CKT"), std::u16string_view(u"CKT"));
}
