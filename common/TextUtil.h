#pragma once
// Text helpers shared by the portable code: UTF-8 <-> UTF-16 and small string operations.
#include "common/AnsiCodePage.h"

#include <string>
#include <string_view>

namespace plumwick {

// UTF-8 to UTF-16; malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
// The text with every unpaired surrogate replaced by U+FFFD: what the program hands other programs as
// UTF-16 (the clipboard) is well-formed, as its UTF-8 is.
std::u16string WellFormedUtf16(std::u16string_view text);
// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// UTF-16 code units from bytes in little- or big-endian order; an odd last byte is dropped.
std::u16string Utf16BytesToUtf16(std::string_view bytes, bool bigEndian);

// Text as people save it: UTF-8 behind its byte-order mark, UTF-16 (either byte order) behind its mark,
// UTF-8 without a mark when the bytes are valid UTF-8, else the ANSI code page.
std::u16string DecodeTextBytes(std::string_view bytes, const AnsiCodePage& codePage);

// The text without the blanks people type around a value: spaces, tabs and U+3000, the blank Chinese
// input methods type.
std::u16string_view TrimBlanks(std::u16string_view text);

// Replaces every occurrence of `from` (non-empty) by `to`, left to right, non-overlapping.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from, std::u16string_view to);

} // namespace plumwick
