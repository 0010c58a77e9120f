#include "content/FeedBody.h"

#include "common/TextUtil.h"
#include "content/ContentText.h"
#include "content/XmlReader.h"

#include <algorithm>
#include <array>
#include <vector>

namespace plumwick {

namespace {

bool IsWhite(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\xA0' || c == u'\x3000' ||
           c == u'\x2028' || c == u'\x2029' || c == u'\x85' || c == u'\f' || c == u'\v';
}

char16_t Lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameText(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

// A title as one display line: every run of blanks and line ends one blank, none at either end, and
// control characters dropped.
std::u16string OneLine(std::u16string_view text) {
    std::u16string out;
    bool blank = false;
    for (char16_t c : text) {
        if (IsWhite(c)) {
            blank = !out.empty();
        } else if (c >= u' ' && c != 0x7F) {
            if (blank) {
                out.push_back(u' ');
                blank = false;
            }
            out.push_back(c);
        }
    }
    return out;
}

// An Atom title of type "html" carries markup as text: the tags go, and the references HTML writers use
// most are read (the five XML ones, numeric ones, and a non-breaking space).
std::u16string HtmlToText(std::u16string_view html) {
    std::u16string stripped;
    bool inTag = false;
    for (char16_t c : html) {
        if (c == u'<') {
            inTag = true;
        } else if (c == u'>' && inTag) {
            inTag = false;
            stripped.push_back(u' ');
        } else if (!inTag) {
            stripped.push_back(c);
        }
    }
    return ExpandXmlReferences(ReplaceAll(stripped, u"&nbsp;", u" "));
}

// Collects the titles of RSS items and Atom entries: the text of a "title" element directly inside an
// "item" (RSS 2.0 and 1.0) or an "entry" (Atom), whatever their namespace prefixes.
class FeedTitles : public XmlHandler {
  public:
    void StartElement(std::u16string_view name, const std::vector<XmlAttribute>& attributes) override {
        std::u16string_view local = LocalName(name);
        if (path_.empty()) {
            root_.assign(local);
        }
        if (titleDepth_ == 0 && local == u"title" && !path_.empty() && IsEntry(path_.back())) {
            titleDepth_ = path_.size() + 1;
            title_.clear();
            titleIsHtml_ = false;
            for (const XmlAttribute& attribute : attributes) {
                if (LocalName(attribute.name) == u"type" && SameText(attribute.value, u"html")) {
                    titleIsHtml_ = true;
                }
            }
        }
        path_.emplace_back(local);
    }

    void EndElement(std::u16string_view) override {
        if (titleDepth_ == path_.size()) {
            std::u16string line = OneLine(titleIsHtml_ ? HtmlToText(title_) : title_);
            if (!line.empty()) {
                titles_.push_back(std::move(line));
            }
            titleDepth_ = 0;
        }
        path_.pop_back();
    }

    void Text(std::u16string_view text) override {
        if (titleDepth_ != 0) {
            title_.append(text);
        }
    }

    const std::u16string& Root() const { return root_; }
    const std::vector<std::u16string>& Titles() const { return titles_; }

  private:
    bool IsEntry(std::u16string_view local) const {
        return (local == u"item" && (root_ == u"rss" || root_ == u"RDF")) ||
               (local == u"entry" && root_ == u"feed");
    }

    std::vector<std::u16string> path_; // local names of the open elements
    std::u16string root_;
    std::size_t titleDepth_ = 0; // depth of the open title element, 0 when none
    bool titleIsHtml_ = false;
    std::u16string title_;
    std::vector<std::u16string> titles_;
};

// The encoding the XML declaration names, lower-cased; empty when there is none.
std::string DeclaredEncoding(std::string_view bytes) {
    if (bytes.substr(0, 5) != "<?xml") {
        return {};
    }
    std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) {
        return {};
    }
    std::size_t open = declaration.find_first_of("\"'", at);
    if (open == std::string_view::npos) {
        return {};
    }
    std::size_t close = declaration.find(declaration[open], open + 1);
    std::string name(declaration.substr(open + 1, close == std::string_view::npos ? 0 : close - open - 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return name;
}

// Windows-1252's characters at 0x80..0x9F; 0 where it has none.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::u16string SingleByte(std::string_view bytes, bool windows1252) {
    std::u16string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        char16_t unit = byte;
        if (windows1252 && byte >= 0x80 && byte <= 0x9F) {
            unit = kWindows1252High[byte - 0x80] ? kWindows1252High[byte - 0x80] : u'\xFFFD';
        }
        text.push_back(unit);
    }
    return text;
}

// XML bytes as text: a byte-order mark first, else the declared encoding (UTF-8 when none is declared);
// an encoding this reader does not know is read in the ANSI code page.
std::u16string DecodeXmlBytes(std::string_view bytes, const AnsiCodePage& codePage) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return Utf8ToUtf16(bytes.substr(3));
    }
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return Utf16BytesToUtf16(bytes.substr(2), bytes[0] == '\xFE');
    }
    const std::string encoding = DeclaredEncoding(bytes);
    if (encoding.empty() || encoding == "utf-8" || encoding == "utf8" || encoding == "us-ascii" ||
        encoding == "ascii") {
        return Utf8ToUtf16(bytes);
    }
    if (encoding == "iso-8859-1" || encoding == "latin1" || encoding == "latin-1") {
        return SingleByte(bytes, false);
    }
    if (encoding == "windows-1252" || encoding == "cp1252") {
        return SingleByte(bytes, true);
    }
    return codePage.ToUtf16(bytes);
}

// Whether the body starts with markup: '<' after a byte-order mark and blanks, in any of the encodings.
bool LooksLikeXml(std::string_view bytes) {
    std::size_t step = 1;
    std::size_t first = 0;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        first = 3;
    } else if (bytes.starts_with("\xFF\xFE")) {
        first = 2;
        step = 2;
    } else if (bytes.starts_with("\xFE\xFF")) {
        first = 3; // the low byte of each big-endian unit
        step = 2;
    }
    for (std::size_t i = first; i < bytes.size(); i += step) {
        char c = bytes[i];
        bool otherByteZero =
            step == 1 || (first == 2 ? (i + 1 < bytes.size() && bytes[i + 1] == 0) : bytes[i - 1] == 0);
        if (!otherByteZero) {
            return false;
        }
        if (c == '<') {
            return true;
        }
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            return false;
        }
    }
    return false;
}

} // namespace

FeedBody DecodeFeedBody(std::string_view bytes, const AnsiCodePage& codePage) {
    FeedBody body;
    if (bytes.size() > kFeedMaxBytes) {
        body.error = "the answer is larger than " + std::to_string(kFeedMaxBytes / 1024) + " KB";
        return body;
    }
    if (!LooksLikeXml(bytes)) {
        body.text = DecodeContentBytes(bytes, codePage);
        return body;
    }
    const std::u16string document = DecodeXmlBytes(bytes, codePage);
    FeedTitles titles;
    if (std::optional<XmlError> error = ReadXml(document, titles, {64, kFeedMaxBytes, 64})) {
        body.error = "the feed is not well-formed XML (line " + std::to_string(error->line) + ": " +
                     error->message + ")";
        return body;
    }
    if (titles.Root() == u"feed") {
        body.kind = FeedKind::Atom;
    } else if (titles.Root() == u"rss" || titles.Root() == u"RDF") {
        body.kind = FeedKind::Rss;
    } else {
        body.error = "the answer is <" + Utf16ToUtf8(titles.Root()) + ">, not an RSS or Atom feed";
        return body;
    }
    for (const std::u16string& title : titles.Titles()) {
        if (!body.text.empty()) {
            body.text += u"\r\n";
        }
        body.text += title;
    }
    return body;
}

} // namespace plumwick
