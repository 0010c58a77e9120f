#include "content/XmlReader.h"

#include "common/TextUtil.h"

#include <algorithm>

namespace plumwick {

namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsNameChar(char16_t c) {
    return !IsSpace(c) && c != u'<' && c != u'>' && c != u'/' && c != u'=' && c != u'"' && c != u'\'' &&
           c != u'&' && c != u'?' && c != u'!' && c != u'[' && c != u']' && c != u'\0';
}

bool IsNameStart(char16_t c) {
    return IsNameChar(c) && c != u'-' && c != u'.' && !(c >= u'0' && c <= u'9');
}

class Reader {
  public:
    Reader(std::u16string_view doc, XmlHandler& handler, const XmlLimits& limits)
        : doc_(doc), handler_(handler), limits_(limits) {}

    std::optional<XmlError> Run() {
        if (doc_.size() > limits_.maxChars) {
            return XmlError{1, "the document is larger than " + std::to_string(limits_.maxChars) +
                                   " characters"};
        }
        if (!Document()) {
            std::size_t line =
                1 + static_cast<std::size_t>(std::count(doc_.begin(), doc_.begin() + errorAt_, u'\n'));
            return XmlError{line, error_};
        }
        return std::nullopt;
    }

    std::u16string ExpandAll() {
        std::u16string out;
        while (!AtEnd()) {
            if (doc_[pos_] == u'&') {
                Reference(out);
            } else {
                out.push_back(doc_[pos_++]);
            }
        }
        return out;
    }

  private:
    bool Fail(std::string message) {
        if (error_.empty()) {
            error_ = std::move(message);
            errorAt_ = std::min(pos_, doc_.size());
        }
        return false;
    }

    bool AtEnd() const { return pos_ >= doc_.size(); }
    bool Next(std::u16string_view text) const { return doc_.substr(pos_, text.size()) == text; }

    void SkipSpace() {
        while (!AtEnd() && IsSpace(doc_[pos_])) {
            ++pos_;
        }
    }

    // Moves past the next `end`; false when there is none.
    bool SkipPast(std::u16string_view end, const char* what) {
        std::size_t at = doc_.find(end, pos_);
        if (at == std::u16string_view::npos) {
            return Fail(std::string("a ") + what + " is never closed");
        }
        pos_ = at + end.size();
        return true;
    }

    bool Document() {
        bool rootSeen = false;
        while (true) {
            SkipSpace();
            if (AtEnd()) {
                return rootSeen ? true : Fail("there is no root element");
            }
            if (Next(u"<?")) {
                if (!SkipPast(u"?>", "processing instruction")) {
                    return false;
                }
            } else if (Next(u"<!--")) {
                if (!SkipPast(u"-->", "comment")) {
                    return false;
                }
            } else if (Next(u"<!DOCTYPE")) {
                if (rootSeen || !SkipDoctype()) {
                    return rootSeen ? Fail("a document type declaration after the root element") : false;
                }
            } else if (Next(u"<") && !rootSeen && pos_ + 1 < doc_.size() && IsNameStart(doc_[pos_ + 1])) {
                if (!Element()) {
                    return false;
                }
                rootSeen = true;
            } else {
                return Fail(rootSeen ? "something follows the root element" : "text before the root element");
            }
        }
    }

    // <!DOCTYPE name PUBLIC "..." "..." [ internal subset ]>: skipped whole, quoted strings, comments and
    // processing instructions in it included, so a '>' or ']' inside them does not end it early.
    bool SkipDoctype() {
        pos_ += 9;
        bool inSubset = false;
        while (!AtEnd()) {
            char16_t c = doc_[pos_];
            if (c == u'"' || c == u'\'') {
                std::size_t close = doc_.find(c, pos_ + 1);
                if (close == std::u16string_view::npos) {
                    return Fail("a quoted string in the document type declaration is never closed");
                }
                pos_ = close + 1;
            } else if (inSubset && Next(u"<!--")) {
                if (!SkipPast(u"-->", "comment")) {
                    return false;
                }
            } else if (inSubset && Next(u"<?")) {
                if (!SkipPast(u"?>", "processing instruction")) {
                    return false;
                }
            } else if (c == u'[' && !inSubset) {
                inSubset = true;
                ++pos_;
            } else if (c == u']' && inSubset) {
                inSubset = false;
                ++pos_;
            } else if (c == u'>' && !inSubset) {
                ++pos_;
                return true;
            } else {
                ++pos_;
            }
        }
        return Fail("the document type declaration is never closed");
    }

    bool Name(std::u16string& name) {
        std::size_t start = pos_;
        if (AtEnd() || !IsNameStart(doc_[pos_])) {
            return Fail("a name is expected");
        }
        while (!AtEnd() && IsNameChar(doc_[pos_])) {
            ++pos_;
        }
        name.assign(doc_.substr(start, pos_ - start));
        return true;
    }

    // A reference after '&'. The five predefined entities and character references are expanded; any
    // other name is kept as written, and so is an '&' that starts no reference.
    void Reference(std::u16string& out) {
        // No reference this reader expands is longer than "#x10FFFF"; looking no further keeps a text full
        // of '&' and no ';' from costing a search to the end of the document each.
        constexpr std::size_t kLongest = 10;
        const std::size_t found = doc_.substr(pos_ + 1, kLongest).find(u';');
        const std::size_t semi = found == std::u16string_view::npos ? found : pos_ + 1 + found;
        std::u16string_view body =
            semi == std::u16string_view::npos ? u"" : doc_.substr(pos_ + 1, semi - pos_ - 1);
        static constexpr std::pair<std::u16string_view, char16_t> kPredefined[] = {
            {u"lt", u'<'}, {u"gt", u'>'}, {u"amp", u'&'}, {u"apos", u'\''}, {u"quot", u'"'}};
        for (const auto& [name, c] : kPredefined) {
            if (body == name) {
                out.push_back(c);
                pos_ = semi + 1;
                return;
            }
        }
        if (body.size() >= 2 && body[0] == u'#') {
            bool hex = body[1] == u'x';
            std::u16string_view digits = body.substr(hex ? 2 : 1);
            char32_t value = 0;
            bool ok = !digits.empty();
            for (char16_t d : digits) {
                int v = d >= u'0' && d <= u'9'          ? d - u'0'
                        : hex && d >= u'a' && d <= u'f' ? d - u'a' + 10
                        : hex && d >= u'A' && d <= u'F' ? d - u'A' + 10
                                                        : -1;
                if (v < 0 || value > 0x10FFFF) {
                    ok = false;
                    break;
                }
                value = value * (hex ? 16 : 10) + static_cast<char32_t>(v);
            }
            if (ok && value != 0 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF)) {
                if (value >= 0x10000) {
                    value -= 0x10000;
                    out.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
                    out.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
                } else {
                    out.push_back(static_cast<char16_t>(value));
                }
                pos_ = semi + 1;
                return;
            }
        }
        out.push_back(u'&');
        ++pos_;
    }

    bool AttributeValue(std::u16string& value) {
        if (AtEnd() || (doc_[pos_] != u'"' && doc_[pos_] != u'\'')) {
            return Fail("an attribute value must be quoted");
        }
        const char16_t quote = doc_[pos_++];
        while (true) {
            if (AtEnd()) {
                return Fail("an attribute value is never closed");
            }
            char16_t c = doc_[pos_];
            if (c == quote) {
                ++pos_;
                return true;
            }
            if (c == u'<') {
                return Fail("'<' inside an attribute value");
            }
            if (c == u'&') {
                Reference(value);
            } else {
                // Line ends and tabs in a value read as blanks.
                value.push_back(IsSpace(c) ? u' ' : c);
                ++pos_;
            }
        }
    }

    // The start tag at pos_ ('<'), its content and its end tag, without recursion: the open names are kept
    // on a stack bounded by maxDepth.
    bool Element() {
        std::vector<std::u16string> open;
        std::u16string text;
        auto flush = [&] {
            if (!text.empty()) {
                handler_.Text(text);
                text.clear();
            }
        };
        do {
            if (AtEnd()) {
                return Fail("the document ends inside <" + Utf16ToUtf8(open.back()) + ">");
            }
            char16_t c = doc_[pos_];
            if (c == u'&') {
                Reference(text);
                continue;
            }
            if (c != u'<' && !open.empty()) {
                text.push_back(c);
                ++pos_;
                continue;
            }
            flush();
            if (Next(u"<!--")) {
                if (!SkipPast(u"-->", "comment")) {
                    return false;
                }
            } else if (Next(u"<![CDATA[")) {
                std::size_t start = pos_ + 9;
                if (!SkipPast(u"]]>", "CDATA section")) {
                    return false;
                }
                handler_.Text(doc_.substr(start, pos_ - 3 - start));
            } else if (Next(u"<?")) {
                if (!SkipPast(u"?>", "processing instruction")) {
                    return false;
                }
            } else if (Next(u"</")) {
                pos_ += 2;
                std::u16string name;
                if (!Name(name)) {
                    return false;
                }
                SkipSpace();
                if (AtEnd() || doc_[pos_] != u'>') {
                    return Fail("an end tag is not closed with '>'");
                }
                ++pos_;
                if (name != open.back()) {
                    return Fail("</" + Utf16ToUtf8(name) + "> ends <" + Utf16ToUtf8(open.back()) + ">");
                }
                handler_.EndElement(name);
                open.pop_back();
            } else if (Next(u"<!")) {
                return Fail("markup declarations belong before the root element");
            } else {
                if (!StartTag(open)) {
                    return false;
                }
            }
        } while (!open.empty());
        return true;
    }

    bool StartTag(std::vector<std::u16string>& open) {
        ++pos_;
        std::u16string name;
        if (!Name(name)) {
            return false;
        }
        if (open.size() >= limits_.maxDepth) {
            return Fail("elements are nested deeper than " + std::to_string(limits_.maxDepth));
        }
        std::vector<XmlAttribute> attributes;
        while (true) {
            std::size_t before = pos_;
            SkipSpace();
            if (AtEnd()) {
                return Fail("a start tag is never closed");
            }
            if (Next(u"/>")) {
                pos_ += 2;
                handler_.StartElement(name, attributes);
                handler_.EndElement(name);
                return true;
            }
            if (doc_[pos_] == u'>') {
                ++pos_;
                handler_.StartElement(name, attributes);
                open.push_back(std::move(name));
                return true;
            }
            if (pos_ == before) {
                return Fail("attributes must be separated by blanks");
            }
            XmlAttribute attribute;
            if (!Name(attribute.name)) {
                return false;
            }
            SkipSpace();
            if (AtEnd() || doc_[pos_] != u'=') {
                return Fail("attribute " + Utf16ToUtf8(attribute.name) + " has no value");
            }
            ++pos_;
            SkipSpace();
            if (!AttributeValue(attribute.value)) {
                return false;
            }
            if (std::any_of(attributes.begin(), attributes.end(),
                            [&](const XmlAttribute& a) { return a.name == attribute.name; })) {
                return Fail("attribute " + Utf16ToUtf8(attribute.name) + " is given twice");
            }
            if (attributes.size() >= limits_.maxAttributes) {
                return Fail("an element has more than " + std::to_string(limits_.maxAttributes) +
                            " attributes");
            }
            attributes.push_back(std::move(attribute));
        }
    }

    std::u16string_view doc_;
    XmlHandler& handler_;
    const XmlLimits& limits_;
    std::size_t pos_ = 0;
    std::string error_;
    std::size_t errorAt_ = 0;
};

} // namespace

std::optional<XmlError> ReadXml(std::u16string_view document, XmlHandler& handler, const XmlLimits& limits) {
    return Reader(document, handler, limits).Run();
}

std::u16string ExpandXmlReferences(std::u16string_view text) {
    class Ignore : public XmlHandler {
        void StartElement(std::u16string_view, const std::vector<XmlAttribute>&) override {}
        void EndElement(std::u16string_view) override {}
        void Text(std::u16string_view) override {}
    } ignore;
    const XmlLimits limits;
    return Reader(text, ignore, limits).ExpandAll();
}

std::u16string_view LocalName(std::u16string_view name) {
    std::size_t colon = name.rfind(u':');
    return colon == std::u16string_view::npos ? name : name.substr(colon + 1);
}

} // namespace plumwick
