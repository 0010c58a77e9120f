#pragma once
// A small XML reader for feeds fetched from the network, so nothing in it may be trusted: it reads
// elements, attributes, text and CDATA, and expands only the five predefined entities and numeric
// character references. A document type declaration is skipped, its internal subset included, and never
// fetched or expanded; any other entity reference stays in the text as written. Depth and size are
// bounded, so a hostile document costs at most a pass over its characters.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

struct XmlAttribute {
    std::u16string name;
    std::u16string value; // references expanded
};

class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    virtual void StartElement(std::u16string_view name, const std::vector<XmlAttribute>& attributes) = 0;
    virtual void EndElement(std::u16string_view name) = 0;
    // Character data, references expanded; CDATA sections as they are. One run may come in several pieces.
    virtual void Text(std::u16string_view text) = 0;
};

struct XmlLimits {
    std::size_t maxDepth = 64;
    std::size_t maxChars = 1u << 20;
    std::size_t maxAttributes = 64; // per element
};

struct XmlError {
    std::size_t line = 0; // 1-based
    std::string message;  // UTF-8
};

// Reads a whole document. Nothing when it is well formed as far as this reader looks (one root element,
// tags that match, quoted attributes, nothing but comments and processing instructions around the root).
// On an error the handler has seen the events before it.
std::optional<XmlError> ReadXml(std::u16string_view document, XmlHandler& handler,
                                const XmlLimits& limits = {});

// The text with the references this reader expands expanded (the five predefined entities, numeric
// character references); anything else, a lone '&' included, stays as written.
std::u16string ExpandXmlReferences(std::u16string_view text);

// The name without its namespace prefix: "atom:entry" -> "entry".
std::u16string_view LocalName(std::u16string_view name);

} // namespace plumwick
