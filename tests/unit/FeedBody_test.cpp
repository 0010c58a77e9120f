#include "content/FeedBody.h"

#include "TestCodePage.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

const test::IconvCodePage kGbk;

FeedBody Decode(std::string_view bytes) {
    return DecodeFeedBody(bytes, kGbk);
}

} // namespace

TEST(DecodeFeedBody, PlainTextIsReadAsATxtFile) {
    FeedBody body = Decode("Fresh bread\r\nCoffee 1.50\n");
    EXPECT_EQ(body.kind, FeedKind::Text);
    EXPECT_EQ(body.text, u"Fresh bread\r\nCoffee 1.50\n");
    EXPECT_TRUE(body.error.empty());
    EXPECT_EQ(Decode("\xBB\xB6\xD3\xAD").text, u"欢迎"); // not UTF-8: the ANSI code page
    EXPECT_EQ(Decode("").text, u"");
}

TEST(DecodeFeedBody, RssItemTitlesBecomeLines) {
    FeedBody body = Decode(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<rss version=\"2.0\"><channel><title>The shop</title>\n"
        "<item><title>Fish &amp; chips\n   today</title><description><title>no</title></description></item>\n"
        "<item><title><![CDATA[Two <b>for</b> one]]></title></item>\n"
        "<item><description>no title</description></item>\n"
        "<item><title>  </title></item>\n"
        "<item><title>\xE6\xAC\xA2\xE8\xBF\x8E</title></item>\n"
        "</channel></rss>");
    ASSERT_TRUE(body.error.empty()) << body.error;
    EXPECT_EQ(body.kind, FeedKind::Rss);
    EXPECT_EQ(body.text, u"Fish & chips today\r\nTwo <b>for</b> one\r\n欢迎");

    // RSS 1.0 keeps its items beside the channel.
    body = Decode("<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                  "xmlns=\"http://purl.org/rss/1.0/\">"
                  "<channel><title>c</title></channel><item><title>one</title></item></rdf:RDF>");
    EXPECT_EQ(body.kind, FeedKind::Rss);
    EXPECT_EQ(body.text, u"one");
}

TEST(DecodeFeedBody, AtomEntryTitlesBecomeLinesWhateverTheirType) {
    FeedBody body = Decode(
        "\xEF\xBB\xBF  <feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Feed</title>"
        "<entry><title>Plain</title></entry>"
        "<entry><title type=\"html\">Fish &amp;amp; &lt;b&gt;chips&lt;/b&gt;&amp;nbsp;now</title></entry>"
        "<entry><title type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">Bold <b>deal</b></div>"
        "</title></entry>"
        "<atom:entry "
        "xmlns:atom=\"http://www.w3.org/2005/Atom\"><atom:title>Prefixed</atom:title></atom:entry>"
        "</feed>");
    ASSERT_TRUE(body.error.empty()) << body.error;
    EXPECT_EQ(body.kind, FeedKind::Atom);
    EXPECT_EQ(body.text, u"Plain\r\nFish & chips now\r\nBold deal\r\nPrefixed");
}

TEST(DecodeFeedBody, FollowsTheDeclaredEncodingAndByteOrderMarks) {
    EXPECT_EQ(
        Decode(
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><rss><item><title>Caf\xE9</title></item></rss>")
            .text,
        u"Café");
    EXPECT_EQ(Decode("<?xml version='1.0' encoding='windows-1252'?><rss><item><title>\x93Hi\x94 \x80 "
                     "5</title></item></rss>")
                  .text,
              u"\u201CHi\u201D \u20AC 5");
    EXPECT_EQ(Decode("<?xml version=\"1.0\" "
                     "encoding=\"GB2312\"?><rss><item><title>\xBB\xB6\xD3\xAD</title></item></rss>")
                  .text,
              u"欢迎");
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char c : std::string(" <rss><item><title>x</title></item></rss>")) {
        le += c;
        le += '\0';
        be += '\0';
        be += c;
    }
    EXPECT_EQ(Decode(le).kind, FeedKind::Rss);
    EXPECT_EQ(Decode(le).text, u"x");
    EXPECT_EQ(Decode(be).text, u"x");
}

TEST(DecodeFeedBody, RefusesWebPagesBrokenFeedsAndOversizedAnswers) {
    FeedBody page = Decode("<!DOCTYPE html>\n<html><body><p>Sign in</p></body></html>");
    EXPECT_NE(page.error.find("<html>"), std::string::npos);
    EXPECT_TRUE(page.text.empty());
    FeedBody broken = Decode("<rss><channel>\n<item><title>cut off");
    EXPECT_NE(broken.error.find("line 2"), std::string::npos);
    EXPECT_TRUE(broken.text.empty());
    EXPECT_FALSE(Decode(std::string(kFeedMaxBytes + 1, 'a')).error.empty());
    EXPECT_TRUE(Decode(std::string(kFeedMaxBytes, 'a')).error.empty());
}
