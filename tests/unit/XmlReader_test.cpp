#include "content/XmlReader.h"

#include <gtest/gtest.h>

#include <string>

using namespace plumwick;

namespace {

// The events as one line: <name a=v>, text in quotes, </name>.
class Trace : public XmlHandler {
  public:
    void StartElement(std::u16string_view name, const std::vector<XmlAttribute>& attributes) override {
        out += u'<';
        out += name;
        for (const XmlAttribute& a : attributes) {
            out += u' ';
            out += a.name;
            out += u'=';
            out += a.value;
        }
        out += u'>';
    }
    void EndElement(std::u16string_view name) override {
        out += u"</";
        out += name;
        out += u'>';
    }
    void Text(std::u16string_view text) override {
        out += u'"';
        out += text;
        out += u'"';
    }
    std::u16string out;
};

std::u16string Events(std::u16string_view doc) {
    Trace trace;
    std::optional<XmlError> error = ReadXml(doc, trace);
    EXPECT_FALSE(error) << (error ? error->message : "");
    return trace.out;
}

std::optional<XmlError> Error(std::u16string_view doc, const XmlLimits& limits = {}) {
    Trace trace;
    return ReadXml(doc, trace, limits);
}

} // namespace

TEST(ReadXml, ReportsElementsAttributesTextAndCdata) {
    EXPECT_EQ(Events(u"<?xml version=\"1.0\"?>\n<!-- c -->\n<rss v='2.0'><a x=\"1\" "
                     u"y='&lt;2&gt;'>t<![CDATA[<b>&amp;]]></a>"
                     u"<e/><?pi x?><!-- in --></rss>\n"),
              u"<rss v=2.0><a x=1 y=<2>>\"t\"\"<b>&amp;\"</a><e></e></rss>");
    // The five predefined entities and character references; nothing else is expanded.
    EXPECT_EQ(
        Events(u"<t>&lt;&gt;&amp;&apos;&quot; &#65;&#x42;&#x1F600; &nbsp; &custom; AT&T &#0; &#xD800;</t>"),
        u"<t>\"<>&'\" AB\U0001F600 &nbsp; &custom; AT&T &#0; &#xD800;\"</t>");
    EXPECT_EQ(ExpandXmlReferences(u"a &amp;amp; b &#x263A; &lt"), u"a &amp; b \u263A &lt");
    EXPECT_EQ(LocalName(u"atom:entry"), u"entry");
    EXPECT_EQ(LocalName(u"entry"), u"entry");
}

TEST(ReadXml, SkipsADocumentTypeAndItsInternalSubsetWithoutExpandingIt) {
    // A "billion laughs" subset: skipped whole, and its entities stay unexpanded text.
    const std::u16string bomb = u"<?xml version=\"1.0\"?>\n"
                                u"<!DOCTYPE lolz [\n"
                                u" <!ENTITY lol \"lol\">\n"
                                u" <!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
                                u" <!-- a ] and a > in a comment -->\n"
                                u" <!ENTITY x SYSTEM \"file:///etc/passwd\">\n"
                                u"]>\n"
                                u"<lolz>&lol2;&x;</lolz>";
    EXPECT_EQ(Events(bomb), u"<lolz>\"&lol2;&x;\"</lolz>");
    EXPECT_EQ(Events(u"<!DOCTYPE rss PUBLIC \"-//Netscape//DTD RSS 0.91//EN\" \"http://x/a>b.dtd\"><rss/>"),
              u"<rss></rss>");
}

TEST(ReadXml, RefusesMalformedDocumentsWithTheirLine) {
    const struct {
        std::u16string doc;
        std::size_t line;
    } cases[] = {
        {u"", 1},
        {u"just text", 1},
        {u"<a>\n<b>\n</a>", 3},
        {u"<a>\n</a>\n<b/>", 3},
        {u"<a x=1/>", 1},
        {u"<a x='1' x='2'/>", 1},
        {u"<a x='1'y='2'/>", 1},
        {u"<a x='<'/>", 1},
        {u"<a>\n<!-- never closed", 2},
        {u"<a><![CDATA[ open", 1},
        {u"<a>\n\n<b>", 3},
        {u"<a><!DOCTYPE x></a>", 1},
        {u"<!DOCTYPE x [ <!ENTITY y 'z'> ", 1},
        {u"<a></a >x", 1},
        {u"<1a/>", 1},
        {u"</a>", 1},
        {u"<![CDATA[x]]><a/>", 1},
        {u"<!ENTITY a 'b'><a/>", 1},
    };
    for (const auto& c : cases) {
        std::optional<XmlError> error = Error(c.doc);
        ASSERT_TRUE(error) << std::string(c.doc.begin(), c.doc.end());
        EXPECT_EQ(error->line, c.line) << std::string(c.doc.begin(), c.doc.end());
        EXPECT_FALSE(error->message.empty());
    }
}

TEST(ReadXml, BoundsDepthSizeAndAttributes) {
    std::u16string deep;
    for (int i = 0; i < 64; ++i) {
        deep += u"<d>";
    }
    for (int i = 0; i < 64; ++i) {
        deep += u"</d>";
    }
    EXPECT_FALSE(Error(deep));
    EXPECT_TRUE(Error(u"<d>" + deep + u"</d>"));
    // Far deeper than any stack would stand, were the reader recursive.
    EXPECT_TRUE(Error(std::u16string(200000, u'<').replace(0, 0, u"<a>")));
    std::u16string nested;
    for (int i = 0; i < 100000; ++i) {
        nested += u"<d>";
    }
    EXPECT_TRUE(Error(nested));

    EXPECT_TRUE(Error(u"<a>" + std::u16string(100, u'x') + u"</a>", {64, 50, 64}));
    EXPECT_FALSE(Error(u"<a x='1' y='2'/>", {64, 100, 2}));
    EXPECT_TRUE(Error(u"<a x='1' y='2' z='3'/>", {64, 100, 2}));

    // Many '&' with no ';' cost one pass, not one search to the end each.
    std::u16string ampersands = u"<a>" + std::u16string(500000, u'&') + u"</a>";
    Trace trace;
    EXPECT_FALSE(ReadXml(ampersands, trace));
}
