#include "app/ShopConfig.h"

#include "common/TextUtil.h"
#include "tests/unit/TestCodePage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace plumwick;

using test::Gbk;

TEST(ShopConfig, DefaultsAndWelcomeLine) {
    ShopConfig defaults = DefaultShopConfig();
    EXPECT_EQ(defaults.homePage, u"");
    EXPECT_EQ(WelcomeLine(defaults), u"梅溪小店 www.plumwick.example 欢迎您的光临");
    EXPECT_EQ(WelcomeLine({u"", u"", u""}), u"  欢迎您的光临");
}

TEST(ShopConfig, ReadsKeysCaseInsensitivelySkippingCommentsAndTrimming) {
    std::string_view bytes = "; comment\r\n"
                             "# ShopName=not this\r\n"
                             "\r\n"
                             "  shopname = 松林书屋 \r\n"
                             "WEBADDRESS=\twww.example.cn\t\n"
                             "line without equals\r"
                             "HomePage=https://www.example.cn/?a=1&b=2\r\n"
                             "unlockhotkey = Ctrl+Shift,76\r\n"
                             "ContentFolder = \\\\headoffice\\display\\Text \r\n"
                             "monitor = secondary\r\n"
                             "statusfolder = \\\\headoffice\\board$ \r\n"
                             "Unknown=ignored\r\n";
    ShopConfig config = ParseShopConfig(bytes, Gbk());
    EXPECT_EQ(config.shopName, u"松林书屋");
    EXPECT_EQ(config.webAddress, u"www.example.cn");
    EXPECT_EQ(config.homePage, u"https://www.example.cn/?a=1&b=2");
    EXPECT_EQ(config.unlockHotkey, u"Ctrl+Shift,76");
    EXPECT_EQ(config.contentFolder, u"\\\\headoffice\\display\\Text");
    EXPECT_EQ(config.monitor, u"secondary");
    EXPECT_EQ(config.statusFolder, u"\\\\headoffice\\board$");
    EXPECT_EQ(DefaultShopConfig().statusFolder, u"");
}

TEST(ShopConfig, ReadsUtf16BehindItsByteOrderMark) {
    // "ShopName=松林\r\nWebAddress=w" as Notepad saves it in either byte order.
    std::u16string text = u"ShopName=松林\r\nWebAddress=w";
    std::string little = "\xFF\xFE";
    std::string big = "\xFE\xFF";
    for (char16_t c : text) {
        little += static_cast<char>(c & 0xFF);
        little += static_cast<char>(c >> 8);
        big += static_cast<char>(c >> 8);
        big += static_cast<char>(c & 0xFF);
    }
    for (const std::string& bytes : {little, big}) {
        ShopConfig config = ParseShopConfig(bytes, Gbk());
        EXPECT_EQ(config.shopName, u"松林");
        EXPECT_EQ(config.webAddress, u"w");
    }
}

TEST(ShopConfig, MissingKeysKeepDefaultsAndEmptyValuesAreTaken) {
    ShopConfig config = ParseShopConfig("WebAddress=\r\nShopName=A\r\nShopName=B", Gbk());
    EXPECT_EQ(config.shopName, u"B");
    EXPECT_EQ(config.webAddress, u"");
    EXPECT_EQ(config.homePage, u"");
    EXPECT_EQ(config.unlockHotkey, u"Ctrl+Alt,87");
    EXPECT_EQ(ParseShopConfig("", Gbk()).shopName, DefaultShopConfig().shopName);
}

TEST(ShopConfig, DecodesUtf8WithOrWithoutMarkAndTheCodePage) {
    EXPECT_EQ(ParseShopConfig("\xEF\xBB\xBFShopName=书屋\r\n", Gbk()).shopName, u"书屋");
    EXPECT_EQ(ParseShopConfig("ShopName=书屋\r\n", Gbk()).shopName, u"书屋");
    // "书屋" in GBK, as Notepad saves it under "ANSI".
    EXPECT_EQ(ParseShopConfig("ShopName=\xCA\xE9\xCE\xDD\r\n", Gbk()).shopName, u"书屋");
    // An ideographic blank typed with a Chinese input method is trimmed too.
    EXPECT_EQ(ParseShopConfig("ShopName=\xE3\x80\x80书屋\xE3\x80\x80", Gbk()).shopName, u"书屋");
}

TEST(ShopConfig, ShippedFileHoldsTheDefaults) {
    std::ifstream file(std::string(PLUMWICK_SOURCE_DIR) + "/data/system/shop.ini", std::ios::binary);
    ASSERT_TRUE(file) << "data/system/shop.ini not found";
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(IsValidUtf8(bytes));
    EXPECT_EQ(bytes.find("\n"), bytes.find("\r\n") + 1); // CR LF line ends
    ShopConfig config = ParseShopConfig(bytes, Gbk());
    ShopConfig defaults = DefaultShopConfig();
    EXPECT_EQ(config.shopName, defaults.shopName);
    EXPECT_EQ(config.webAddress, defaults.webAddress);
    EXPECT_EQ(config.homePage, defaults.homePage);
    EXPECT_EQ(config.unlockHotkey, defaults.unlockHotkey);
    EXPECT_EQ(config.contentFolder, defaults.contentFolder);
}
