#include "content/WebAddress.h"

#include "TestCodePage.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

WebAddress Address(const char16_t* text) {
    WebAddressResult result = ParseWebAddress(text);
    EXPECT_TRUE(result.address) << result.error;
    return result.address.value_or(WebAddress{});
}

std::u16string Redirect(const char16_t* from, const char16_t* location) {
    WebAddressResult result = FollowRedirect(Address(from), location);
    return result.address ? FormatWebAddress(*result.address) : u"refused";
}

} // namespace

TEST(ParseWebAddress, AcceptsHttpAndHttpsWithHostPortAndPath) {
    EXPECT_EQ(Address(u" HTTPS://News.Example.com/feed.xml?x=1#top "),
              (WebAddress{true, u"News.Example.com", 443, u"/feed.xml?x=1"}));
    EXPECT_EQ(Address(u"http://127.0.0.1:8080"), (WebAddress{false, u"127.0.0.1", 8080, u"/"}));
    EXPECT_EQ(Address(u"http://[::1]:81/a"), (WebAddress{false, u"[::1]", 81, u"/a"}));
    EXPECT_EQ(Address(u"http://host:/a").port, 80);
    EXPECT_EQ(FormatWebAddress(Address(u"https://h:443/p")), u"https://h/p");
    EXPECT_EQ(FormatWebAddress(Address(u"http://h:8080?q")), u"http://h:8080/?q");

    for (const char16_t* bad :
         {u"ftp://h/f", u"file:///C:/x.txt", u"javascript:alert(1)", u"h/feed.xml", u"http:/h", u"http://",
          u"http://user:pw@h/", u"http://h:0/", u"http://h:99999/", u"http://h:8x/",
          u"https://h:844https://h/", u"http://a b/", u"http://h/\x01", u"http://[::1/"}) {
        WebAddressResult result = ParseWebAddress(bad);
        EXPECT_FALSE(result.address) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
        EXPECT_FALSE(result.error.empty());
    }
}

TEST(ParseInternetShortcut, TakesTheUrlOfTheInternetShortcutSection) {
    test::IconvCodePage gbk;
    WebAddressResult result = ParseInternetShortcut("[{000214A0-0000-0000-C000-000000000046}]\r\n"
                                                    "URL=http://wrong/\r\n"
                                                    "[internetshortcut]\r\n"
                                                    "IDList=\r\n"
                                                    " url = https://feeds.example.com/offers.rss \r\n"
                                                    "URL=https://second/\r\n",
                                                    gbk);
    ASSERT_TRUE(result.address) << result.error;
    EXPECT_EQ(FormatWebAddress(*result.address), u"https://feeds.example.com/offers.rss");
    // UTF-16, as some tools save it.
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[InternetShortcut]\nURL=http://h/a\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_TRUE(ParseInternetShortcut(utf16, gbk).address);

    EXPECT_NE(ParseInternetShortcut("URL=http://h/\r\n", gbk).error.find("no [InternetShortcut]"),
              std::string::npos);
    EXPECT_NE(ParseInternetShortcut("[InternetShortcut]\r\nIconIndex=0\r\n", gbk).error.find("no URL="),
              std::string::npos);
    EXPECT_FALSE(
        ParseInternetShortcut("[InternetShortcut]\r\nURL=file:///C:/Windows/win.ini\r\n", gbk).address);
}

TEST(FollowRedirect, FollowsHttpToHttpsAndRefusesEveryOtherChangeOfScheme) {
    EXPECT_EQ(Redirect(u"http://h/a", u"https://h/a"), u"https://h/a");
    EXPECT_EQ(Redirect(u"https://h/a", u"https://other:8443/b"), u"https://other:8443/b");
    EXPECT_EQ(Redirect(u"http://h/a", u"HTTP://other/b"), u"http://other/b");
    EXPECT_EQ(Redirect(u"https://h/a", u"http://h/a"), u"refused");
    EXPECT_EQ(Redirect(u"http://h/a", u"ftp://h/a"), u"refused");
    EXPECT_EQ(Redirect(u"http://h/a", u"file:///C:/x"), u"refused");
    EXPECT_EQ(Redirect(u"http://h/a", u"  "), u"refused");
    EXPECT_NE(FollowRedirect(Address(u"https://h/"), u"http://h/").error.find("https to http"),
              std::string::npos);
}

TEST(FollowRedirect, ResolvesRelativeLocationsAgainstTheCurrentAddress) {
    EXPECT_EQ(Redirect(u"https://h:8443/news/feed.xml?x=1", u"/other.xml"), u"https://h:8443/other.xml");
    EXPECT_EQ(Redirect(u"https://h/news/feed.xml", u"rss/today.xml"), u"https://h/news/rss/today.xml");
    EXPECT_EQ(Redirect(u"https://h/news/feed.xml", u"../feed2.xml?y=2#f"), u"https://h/feed2.xml?y=2");
    EXPECT_EQ(Redirect(u"https://h/news/feed.xml?x", u"?page=2"), u"https://h/news/feed.xml?page=2");
    EXPECT_EQ(Redirect(u"https://h/a/b/c", u"/x/./y/../../../z"), u"https://h/z");
    EXPECT_EQ(Redirect(u"http://h/a", u"//cdn.example.com/f"), u"http://cdn.example.com/f");
    EXPECT_EQ(Redirect(u"https://h/a", u"//cdn.example.com/f"), u"https://cdn.example.com/f");
    EXPECT_EQ(Redirect(u"https://h/a/b", u".."), u"https://h/");
    // Only the path is resolved: a query keeps its slashes and dots as the server sent them.
    EXPECT_EQ(Redirect(u"http://h/a/b", u"../x?/../y/./z"), u"http://h/x?/../y/./z");
}
