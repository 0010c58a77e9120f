#include "store/SettingsFile.h"

#include "common/TextUtil.h"
#include "tests/unit/TestCodePage.h"

#include <gtest/gtest.h>

using namespace plumwick;

using test::Gbk;

TEST(SettingsFile, WritesTheThreeLineFormat) {
    EXPECT_EQ(FormatSettings({u"Arial", 36.0f, 2}, Gbk()), "Arial\r\n 36 \r\n 2 \r\n");
    EXPECT_EQ(FormatSettings({u"Arial", -2.5f, -3}, Gbk()), "Arial\r\n-2.5 \r\n-3 \r\n");
    EXPECT_EQ(FormatSettings({u"", 10.5f, 5}, Gbk()), "\r\n 10.5 \r\n 5 \r\n");
}

TEST(SettingsFile, WritesSchemeZeroAsOne) {
    EXPECT_EQ(EffectiveSavedScheme(0), 1);
    EXPECT_EQ(EffectiveSavedScheme(4), 4);
    EXPECT_EQ(EffectiveSavedScheme(9), 9);
    EXPECT_EQ(FormatSettings({u"Arial", 36.0f, 0}, Gbk()), "Arial\r\n 36 \r\n 1 \r\n");
}

TEST(SettingsFile, FormatsSizesInShortestFormWithSevenDigits) {
    struct Case {
        float size;
        const char* text;
    };
    for (Case c : {Case{36.0f, "36"}, Case{10.5f, "10.5"}, Case{0.1f, "0.1"}, Case{36.6f, "36.6"},
                   Case{1.0f / 3.0f, "0.3333333"}, Case{1234567.0f, "1234567"}, Case{-2.5f, "-2.5"},
                   Case{-0.0f, "0"}}) {
        EXPECT_EQ(FormatFontSize(c.size), c.text) << c.text;
    }
}

TEST(SettingsFile, WritesANameInTheCodePageWhenItFits) {
    std::string bytes = FormatSettings({u"微软雅黑", 36.0f, 1}, Gbk());
    EXPECT_EQ(bytes, "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA\r\n 36 \r\n 1 \r\n");
    EXPECT_EQ(ParseSettings(bytes, Gbk()).settings.fontName, u"微软雅黑");
}

TEST(SettingsFile, NameOutsideTheCodePageSurvivesAWriteAndARead) {
    Settings settings{u"Noto Sans 한국어 \U0001F600", 28.0f, 3};
    std::string bytes = FormatSettings(settings, Gbk());
    ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.substr(3), Utf16ToUtf8(settings.fontName) + "\r\n 28 \r\n 3 \r\n");

    SettingsReadResult read = ParseSettings(bytes, Gbk());
    EXPECT_TRUE(read.wellFormed) << Utf16ToUtf8(read.problem);
    EXPECT_EQ(read.settings.fontName, settings.fontName);
    EXPECT_EQ(read.settings.fontSize, 28.0f);
    EXPECT_EQ(read.settings.colorScheme, 3);
}

TEST(SettingsFile, CodePageNameThatLooksLikeAByteOrderMarkIsWrittenAsUtf8) {
    // "锘靠" is EF BB BF BF in GBK.
    std::string bytes = FormatSettings({u"锘靠", 36.0f, 1}, Gbk());
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + Utf16ToUtf8(u"锘靠") + "\r\n 36 \r\n 1 \r\n");
    EXPECT_EQ(ParseSettings(bytes, Gbk()).settings.fontName, u"锘靠");
}

TEST(SettingsFile, ReadsWhatItWrites) {
    for (Settings s : {Settings{u"Arial", 10.5f, 1}, Settings{u"宋体", 8.0f, 5}, Settings{u"", 200.0f, 9},
                       Settings{u" Leading blank", 36.6f, 2}}) {
        SettingsReadResult read = ParseSettings(FormatSettings(s, Gbk()), Gbk());
        EXPECT_TRUE(read.wellFormed) << Utf16ToUtf8(read.problem);
        EXPECT_EQ(read.settings.fontName, s.fontName);
        EXPECT_EQ(read.settings.fontSize, s.fontSize);
        EXPECT_EQ(read.settings.colorScheme, s.colorScheme);
    }
}

TEST(SettingsFile, AcceptsLinesWithoutBlanksAndOtherLineEnds) {
    for (std::string_view bytes :
         {"Arial\r\n28\r\n3\r\n", "Arial\n28\n3\n", "Arial\r28\r3", "Arial\r\n 28 \r\n 3",
          "Arial\r\n28\r\n3\r\nextra line\r\nmore\r\n", "Arial\r\n\t28\t\r\n 3.4 \r\n"}) {
        SettingsReadResult read = ParseSettings(bytes, Gbk());
        EXPECT_TRUE(read.wellFormed) << bytes;
        EXPECT_EQ(read.settings.fontName, u"Arial") << bytes;
        EXPECT_EQ(read.settings.fontSize, 28.0f) << bytes;
        EXPECT_EQ(read.settings.colorScheme, 3) << bytes;
        EXPECT_EQ(FormatSettings(read.settings, Gbk()), "Arial\r\n 28 \r\n 3 \r\n") << bytes;
    }
}

TEST(SettingsFile, EmptyFirstLineIsAnEmptyName) {
    SettingsReadResult read = ParseSettings("\r\n 36 \r\n 1 \r\n", Gbk());
    EXPECT_TRUE(read.wellFormed);
    EXPECT_EQ(read.settings.fontName, u"");
}

TEST(SettingsFile, PassesSchemesOutsideOneToFiveOn) {
    EXPECT_EQ(ParseSettings("Arial\r\n 36 \r\n 0 \r\n", Gbk()).settings.colorScheme, 0);
    EXPECT_EQ(ParseSettings("Arial\r\n 36 \r\n 9 \r\n", Gbk()).settings.colorScheme, 9);
    EXPECT_TRUE(ParseSettings("Arial\r\n 36 \r\n-7 \r\n", Gbk()).wellFormed);
}

TEST(SettingsFile, DamagedFilesKeepWhatIsReadableAndUseDefaultsForTheRest) {
    struct Case {
        std::string_view bytes;
        std::u16string_view name;
        float size;
        std::int16_t scheme;
        std::u16string_view problem;
    };
    const Case cases[] = {
        {"", kDefaultFontName, 36.0f, 1, u"the file is empty"},
        {"\xEF\xBB\xBF", kDefaultFontName, 36.0f, 1, u"the file is empty"},
        {"Arial\r\n 28 \r\n", u"Arial", 28.0f, 1, u"line 3 is missing"},
        {"Arial\r\n", u"Arial", 36.0f, 1, u"line 2 is missing; line 3 is missing"},
        {"Arial\r\nbig\r\n 4 \r\n", u"Arial", 36.0f, 4, u"line 2 is not a number"},
        {"Arial\r\n\r\n 4 \r\n", u"Arial", 36.0f, 4, u"line 2 is not a number"},
        {"Arial\r\n 28 \r\n 40000 \r\n", u"Arial", 28.0f, 1, u"line 3 is not a 16-bit integer"},
        {"Arial\r\n 28 \r\nblue\r\n", u"Arial", 28.0f, 1, u"line 3 is not a 16-bit integer"},
        {"Arial\r\n 0 \r\n 2 \r\n", u"Arial", 36.0f, 2, u"line 2 is not a usable font size"},
        {"Arial\r\n-12 \r\n 2 \r\n", u"Arial", 36.0f, 2, u"line 2 is not a usable font size"},
        {"Arial\r\n 1e-50 \r\n 2 \r\n", u"Arial", 36.0f, 2, u"line 2 is not a usable font size"},
        {"Arial\r\n 1001 \r\n 2 \r\n", u"Arial", 36.0f, 2, u"line 2 is not a usable font size"},
        {"Arial\r\n 3648 \r\n 2 \r\n", u"Arial", 36.0f, 2, u"line 2 is not a usable font size"},
        {"Arial\r\n 200.5 \r\n 2 \r\n", u"Arial", 36.0f, 2, u"line 2 is not a usable font size"},
        {"Arial\r\n 7.9 \r\n 2 \r\n", u"Arial", 36.0f, 2, u"line 2 is not a usable font size"},
        {"Arial\r\n 1e300 \r\n 2 \r\n", u"Arial", 36.0f, 2, u"line 2 is not a usable font size"},
    };
    for (const Case& c : cases) {
        SettingsReadResult read = ParseSettings(c.bytes, Gbk());
        EXPECT_FALSE(read.wellFormed) << c.bytes;
        EXPECT_EQ(read.settings.fontName, c.name) << c.bytes;
        EXPECT_EQ(read.settings.fontSize, c.size) << c.bytes;
        EXPECT_EQ(read.settings.colorScheme, c.scheme) << c.bytes;
        EXPECT_EQ(read.problem, c.problem) << c.bytes;
    }

    SettingsReadResult missing = MissingSettingsFile();
    EXPECT_FALSE(missing.wellFormed);
    EXPECT_FALSE(missing.problem.empty());
    EXPECT_EQ(missing.settings.fontName, kDefaultFontName);
}

TEST(SettingsFile, ReadsACommaAsDecimalSeparator) {
    SettingsReadResult read = ParseSettings("Arial\r\n 10,5 \r\n 1 \r\n", Gbk());
    EXPECT_TRUE(read.wellFormed);
    EXPECT_EQ(read.settings.fontSize, 10.5f);
    EXPECT_FALSE(ParseSettings("Arial\r\n 1,0,5 \r\n 1 \r\n", Gbk()).wellFormed);
}
