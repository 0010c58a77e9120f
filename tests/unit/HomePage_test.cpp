// What a click on the about window opens: shop.ini's HomePage when it is a web address or a page of the
// program folder, the bundled help otherwise, never a program.
#include "about/HomePage.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {
constexpr char16_t kFolder[] = u"C:\\Program Files\\plumwick";
constexpr char16_t kHelp[] = u"C:\\Program Files\\plumwick\\help\\index.html";
} // namespace

TEST(HomePage, WebAddressesAndPagesOfTheProgramFolderOpenAsWritten) {
    struct Case {
        std::u16string configured;
        std::u16string target;
    } cases[] = {
        {u"", kHelp},
        {u"https://www.example.cn/?a=1&b=2", u"https://www.example.cn/?a=1&b=2"},
        {u"HTTP://shop.example/", u"HTTP://shop.example/"},
        {u"shop.html", u"C:\\Program Files\\plumwick\\shop.html"},
        {u"pages/My Shop.HTML", u"C:\\Program Files\\plumwick\\pages\\My Shop.HTML"},
        {u"c:\\program files\\plumwick\\help\\index.html", u"C:\\Program Files\\plumwick\\help\\index.html"},
    };
    for (const Case& c : cases) {
        HomePageChoice choice = ChooseHomePage(c.configured, kFolder);
        EXPECT_EQ(choice.target, c.target);
        EXPECT_FALSE(choice.notice.has_value());
    }
    EXPECT_EQ(ChooseHomePage(u"", u"C:\\plumwick\\").target, u"C:\\plumwick\\help\\index.html");
}

TEST(HomePage, AnythingElseOpensTheHelpWithANoticeNamingIt) {
    for (std::u16string configured : {
             u"C:\\Program Files\\plumwick\\home.bat", // a program in the folder
             u"calc.exe",
             u"cmd",
             u"home.bat",                         // programs the shell finds
             u"C:\\Windows\\help.html",           // a page outside the folder
             u"..\\..\\Users\\Public\\evil.html", // climbing out
             u"pages\\..\\..\\evil.html",
             u".\\x\\.\\y.html",                            // dots in the middle
             u"\\\\server\\share\\page.html",               // another computer
             u"\\\\?\\C:\\Program Files\\plumwick\\a.html", // the raw form
             u"D:page.html",                                // another drive's current folder
             u"page.html:evil.exe",                         // a stream
             u"file:///C:/Program%20Files/plumwick/a.html", // a URL of another scheme
             u"javascript:alert(1)",
             u"ms-settings:",
             u"mailto:a@b.c",
             u"http://",
             u"https:///x",
             u"http://a b",
             u"http://a\"b",
             u"https://a\tb",
             u"C:\\Program Files\\plumwick\\page.html.exe",
             u"page.htm",
             u"*.html",
             u"a|b.html",
         }) {
        HomePageChoice choice = ChooseHomePage(configured, kFolder);
        EXPECT_EQ(choice.target, kHelp) << std::string(configured.begin(), configured.end());
        ASSERT_TRUE(choice.notice.has_value());
        EXPECT_NE(choice.notice->find(configured), std::u16string::npos);
    }
    // A long value is cut in the notice.
    HomePageChoice longOne = ChooseHomePage(std::u16string(5000, u'x'), kFolder);
    EXPECT_LT(longOne.notice->size(), 400u);
}
