#pragma once
// Which reparse-point folders the content scan walks. Only name surrogates (symbolic links, junctions and
// the like) stand for another place in the tree and may loop back on themselves; every other tag is a
// folder of its own whose contents a filter driver supplies, such as a cloud-synced folder whose files are
// fetched on demand, and its files are the shop's content like any other.
#include <cstdint>

namespace plumwick {

// The tag bit the window system reserves for name surrogates.
inline constexpr std::uint32_t kReparseTagNameSurrogate = 0x20000000u;

inline bool WalksReparseFolder(std::uint32_t reparseTag) {
    return (reparseTag & kReparseTagNameSurrogate) == 0;
}

} // namespace plumwick
