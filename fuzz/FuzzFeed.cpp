// Feeds come from the network. The input is tried as a feed's answer (XML or plain text), as a document
// for the XML reader on its own, as a .url file, and as an address and a redirect's Location.
#include "common/TextUtil.h"
#include "content/FeedBody.h"
#include "content/WebAddress.h"
#include "content/XmlReader.h"
#include "fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace plumwick;
using fuzz::FuzzCodePage;

// Checks that the events nest: every end matches the open start, and the depth stays in bounds.
class Nesting : public XmlHandler {
  public:
    explicit Nesting(std::size_t maxDepth) : maxDepth_(maxDepth) {}
    void StartElement(std::u16string_view name, const std::vector<XmlAttribute>& attributes) override {
        FUZZ_CHECK(!name.empty());
        FUZZ_CHECK(open_.size() < maxDepth_);
        // A value may hold '<' (from "&lt;"), never written raw: that is refused before this is called.
        for (const XmlAttribute& attribute : attributes) {
            FUZZ_CHECK(!attribute.name.empty());
        }
        open_.emplace_back(name);
    }
    void EndElement(std::u16string_view name) override {
        FUZZ_CHECK(!open_.empty() && open_.back() == name);
        open_.pop_back();
    }
    void Text(std::u16string_view text) override { chars_ += text.size(); }
    bool Closed() const { return open_.empty(); }
    std::size_t Chars() const { return chars_; }

  private:
    std::size_t maxDepth_;
    std::vector<std::u16string> open_;
    std::size_t chars_ = 0;
};

void CheckFeed(std::string_view bytes, const FuzzCodePage& codePage) {
    const FeedBody body = DecodeFeedBody(bytes, codePage);
    if (!body.error.empty()) {
        FUZZ_CHECK(body.text.empty());
        return;
    }
    FUZZ_CHECK(body.text.size() <= bytes.size());
    if (body.kind == FeedKind::Text) {
        return;
    }
    // One title per line: no line ends inside, no blanks at the ends, no empty line.
    std::u16string_view rest = body.text;
    while (!rest.empty()) {
        const std::size_t cut = rest.find(u"\r\n");
        const std::u16string_view line = rest.substr(0, cut);
        FUZZ_CHECK(!line.empty() && line.front() != u' ' && line.back() != u' ');
        FUZZ_CHECK(line.find_first_of(u"\r\n\t") == std::u16string_view::npos);
        if (cut == std::u16string_view::npos) {
            break;
        }
        rest.remove_prefix(cut + 2);
        FUZZ_CHECK(!rest.empty());
    }
}

void CheckXml(std::u16string_view document) {
    const XmlLimits limits{16, 1u << 16, 8};
    Nesting nesting(limits.maxDepth);
    const std::optional<XmlError> error = ReadXml(document, nesting, limits);
    if (!error) {
        FUZZ_CHECK(nesting.Closed());
        // Expansion never grows the text: every reference is longer than what it stands for.
        FUZZ_CHECK(nesting.Chars() <= document.size());
    } else {
        FUZZ_CHECK(error->line >= 1 && !error->message.empty());
    }
    FUZZ_CHECK(ExpandXmlReferences(document).size() <= document.size());
}

void CheckAddress(std::u16string_view text, std::u16string_view location) {
    const WebAddressResult parsed = ParseWebAddress(text);
    FUZZ_CHECK(parsed.address.has_value() == parsed.error.empty());
    if (!parsed.address) {
        return;
    }
    const WebAddress& address = *parsed.address;
    FUZZ_CHECK(!address.host.empty() && address.port >= 1 && address.port <= 65535);
    FUZZ_CHECK(!address.pathAndQuery.empty() && address.pathAndQuery.front() == u'/');
    // Written out and read again, an address is the same address.
    const WebAddressResult again = ParseWebAddress(FormatWebAddress(address));
    FUZZ_CHECK(again.address && *again.address == address);

    const WebAddressResult next = FollowRedirect(address, location);
    FUZZ_CHECK(next.address.has_value() == next.error.empty());
    if (next.address) {
        FUZZ_CHECK(!address.https || next.address->https); // never from https down to http
        // Dot segments are resolved in the path; a query is the server's business and is sent as given.
        const std::u16string& full = next.address->pathAndQuery;
        const std::u16string path = full.substr(0, full.find(u'?'));
        FUZZ_CHECK(path.find(u"/../") == std::u16string::npos && path.find(u"/./") == std::u16string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzCodePage codePage;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CheckFeed(bytes, codePage);
    CheckXml(Utf8ToUtf16(bytes));
    const WebAddressResult shortcut = ParseInternetShortcut(bytes, codePage);
    FUZZ_CHECK(shortcut.address.has_value() == shortcut.error.empty());

    // An address and a Location, cut at the first line end.
    const std::u16string text = Utf8ToUtf16(bytes);
    const std::size_t cut = text.find(u'\n');
    CheckAddress(std::u16string_view(text).substr(0, cut), cut == std::u16string::npos
                                                               ? std::u16string_view{}
                                                               : std::u16string_view(text).substr(cut + 1));
    return 0;
}
