#pragma once
// The system's ANSI code page, seen from portable code. Windows supplies the real one; tests supply
// their own (GBK through iconv, for example).
#include <optional>
#include <string>
#include <string_view>

namespace plumwick {

class AnsiCodePage {
  public:
    virtual ~AnsiCodePage() = default;
    // Bytes in the code page to UTF-16; bytes that form no character become U+FFFD or the code page's
    // own replacement.
    virtual std::u16string ToUtf16(std::string_view bytes) const = 0;
    // UTF-16 to the code page; nothing when a character has no representation in it.
    virtual std::optional<std::string> FromUtf16(std::u16string_view text) const = 0;
};

} // namespace plumwick
