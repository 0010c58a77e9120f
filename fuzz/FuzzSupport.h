#pragma once
// What the fuzz targets share: a failing check aborts (so libFuzzer keeps the input), a small code page
// with unassigned bytes, and the input read as UTF-16 code units.
#include "common/AnsiCodePage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                    \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace plumwick::fuzz {

// Latin-1 with the C1 range 0x80..0x9F left unassigned, so that text that does not fit and bytes that
// form no character both occur.
class FuzzCodePage : public AnsiCodePage {
  public:
    std::u16string ToUtf16(std::string_view bytes) const override {
        std::u16string text;
        text.reserve(bytes.size());
        for (char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            text.push_back(Unassigned(byte) ? u'\uFFFD' : static_cast<char16_t>(byte));
        }
        return text;
    }
    std::optional<std::string> FromUtf16(std::u16string_view text) const override {
        std::string bytes;
        bytes.reserve(text.size());
        for (char16_t unit : text) {
            if (unit > 0xFF || Unassigned(unit)) {
                return std::nullopt;
            }
            bytes.push_back(static_cast<char>(unit));
        }
        return bytes;
    }

  private:
    static bool Unassigned(unsigned value) { return value >= 0x80 && value <= 0x9F; }
};

// The input's bytes as little-endian UTF-16 code units (an odd last byte is dropped).
inline std::u16string Utf16Units(const std::uint8_t* data, std::size_t size) {
    std::u16string units;
    units.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    return units;
}

} // namespace plumwick::fuzz
