#pragma once
// Reading a file whole, as raw bytes (content files, the settings file, shop.ini).
#include <cstddef>
#include <optional>
#include <string>

namespace plumwick {

// The cap the publish uses per file. Text for a counter display is a few kilobytes; a file beyond this
// is certainly not a message list, and reading it would cost several times its size in memory once it
// is decoded and normalised.
inline constexpr std::size_t kContentFileMaxBytes = 64u << 20; // 64 MiB

// All bytes of the file at `path`, or nothing when it cannot be opened or read (missing, locked, a
// folder or anything but a regular file) or holds more than maxBytes. A file over the cap is refused
// whole rather than cut: a cut could split a line or a UTF-8 sequence, and the truncated bytes would
// then be decoded in the wrong encoding.
std::optional<std::string> ReadFileBytes(const std::u16string& path, std::size_t maxBytes);

} // namespace plumwick
