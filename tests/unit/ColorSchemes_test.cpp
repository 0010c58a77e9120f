#include "display/ColorSchemes.h"
#include "display/RenderPasses.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace plumwick;

TEST(ColorSchemes, MainColorsOnlyForSchemesOneToFive) {
    EXPECT_EQ(MainColorsFor(1)->color1, 0xFF013C8Fu);
    EXPECT_EQ(MainColorsFor(5)->color2, 0xFFFF0000u);
    for (int scheme : {0, -1, 6, 32767}) {
        EXPECT_FALSE(MainColorsFor(scheme).has_value()) << scheme;
    }
}

TEST(ColorSchemes, KaraokeColorPicksTopOnlyForOneAndFallsBackOutsideTable) {
    struct Case {
        std::int16_t scheme, which;
        Argb expected;
    };
    for (const Case& c :
         {Case{1, 1, 0xFFBCF9FC}, Case{1, 2, 0xFF67F0FC}, Case{1, 0, 0xFF67F0FC}, Case{1, -1, 0xFF67F0FC},
          Case{3, 2, 0xFFFEA10F}, Case{4, 1, 0xFF62DDFF}, Case{5, 1, 0xFFFFFF6E}, Case{0, 1, 0xFFBA0000},
          Case{0, 2, 0xFFFF9301}, Case{6, 1, 0xFFBA0000}, Case{-3, 7, 0xFFFF9301}}) {
        EXPECT_EQ(KaraokeColor(c.scheme, c.which), c.expected) << c.scheme << "/" << c.which;
    }
}

TEST(ColorSchemes, SchemeColorIsSignedDecimalAndConvertsBack) {
    EXPECT_EQ(SchemeColor(1, 1), u"-4392452");
    for (std::int16_t scheme = 0; scheme <= 6; ++scheme) {
        for (std::int16_t which : {1, 2}) {
            EXPECT_EQ(ArgbFromSchemeText(SchemeColor(scheme, which)), KaraokeColor(scheme, which));
        }
    }
}

TEST(ColorSchemes, SchemeTextParsing) {
    EXPECT_EQ(ArgbFromSchemeText(u"4290574844"), 0xFFBCF9FCu); // the unsigned form of -4392452
    EXPECT_EQ(ArgbFromSchemeText(u"-2147483648"), 0x80000000u);
    for (auto text : {u"", u"red", u"1.5", u"4294967296", u"-2147483649"}) {
        EXPECT_EQ(ArgbFromSchemeText(text), 0u);
    }
}

TEST(RenderPasses, ShadowsFirstThenOutlinedFace) {
    auto passes = MainWindowPasses(0xFF111111, 0xFF222222);
    ASSERT_EQ(passes.size(), 7u);
    int offsetSum = 0;
    for (std::size_t i = 0; i + 1 < passes.size(); ++i) {
        EXPECT_FALSE(passes[i].outline);
        EXPECT_EQ(passes[i].color1 & 0x00FFFFFFu, 0u) << "shadows are black";
        offsetSum += passes[i].offset;
    }
    EXPECT_EQ(offsetSum, 1 + 2 + 2 + 2 - 1 - 2);
    EXPECT_EQ(passes[0].wrapMode, kWrapTileFlipY);
    const RenderPass& face = passes.back();
    EXPECT_EQ(face.offset, 0);
    EXPECT_EQ(face.color1, 0xFF111111u);
    EXPECT_EQ(face.color2, 0xFF222222u);
    EXPECT_TRUE(face.outline);
    EXPECT_EQ(face.penColor, 0x90000000u);
    EXPECT_EQ(face.penWidth, 1.0f);
    EXPECT_EQ(face.penUnit, kUnitDocument);
}

TEST(RenderPasses, KaraokePassUsesSchemeHighlight) {
    RenderPass pass = KaraokePass(0);
    EXPECT_EQ(pass.offset, 0);
    EXPECT_EQ(pass.color1, 0xFFBA0000u);
    EXPECT_EQ(pass.color2, 0xFFFF9301u);
    EXPECT_EQ(pass.wrapMode, kWrapTileFlipXY);
    EXPECT_FALSE(pass.outline);
    EXPECT_EQ(KaraokePass(4).color2, 0xFF229CFEu);
}

TEST(RenderPasses, LayoutWidthAlwaysDividesByFifteen) {
    EXPECT_EQ(LayoutWidthPixels(28800), 1920);
    EXPECT_EQ(LayoutWidthPixels(1920 * 12), 1536); // 12 twips per pixel: four fifths of the screen
    EXPECT_EQ(LayoutWidthPixels(28807), 1920);
    EXPECT_EQ(LayoutWidthPixels(28808), 1921);
}

TEST(VisibleTextLimit, GenerousForNarrowGlyphs) {
    // At 8 px an eighth of an em is one pixel: every 1-px-wide character that fits must be counted.
    EXPECT_GE(VisibleTextLimit(1920, 646, 8.0f), std::size_t{1920} * (646 / 8));
    // A karaoke line at 36 px: at least a full line of 4-px characters on each of the three rows.
    EXPECT_GE(VisibleTextLimit(1920, 111, 36.0f), std::size_t{1920 / 4} * 3);
}

TEST(VisibleTextLimit, BoundedWhateverTheInput) {
    EXPECT_LE(VisibleTextLimit(1920, 111, 36.0f), 5000u);
    EXPECT_LE(VisibleTextLimit(1920, 646, 36.0f), 20000u);
    EXPECT_EQ(VisibleTextLimit(0, 0, 36.0f), 256u);
    EXPECT_EQ(VisibleTextLimit(-5, -5, 36.0f), 256u);
    std::size_t smallest = VisibleTextLimit(1920, 646, 1.0f);
    for (float size : {0.0f, -36.0f, 0.01f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()}) {
        EXPECT_LE(VisibleTextLimit(1920, 646, size), smallest) << size;
    }
    EXPECT_LT(smallest, std::size_t{1} << 24);
}

TEST(VisibleTextLimit, PrefixKeepsShortTextAndNeverSplitsSurrogatePair) {
    std::u16string shortText = u"hello";
    EXPECT_EQ(VisibleTextPrefix(shortText, 1920, 111, 36.0f), shortText);
    std::u16string text(255, u'a');
    text += u"\U0001F600"; // units 255 and 256
    text += std::u16string(100, u'b');
    EXPECT_EQ(VisibleTextPrefix(text, 0, 0, 36.0f).size(), 255u);
    text[255] = u'a';
    EXPECT_EQ(VisibleTextPrefix(text, 0, 0, 36.0f).size(), 256u);
}
