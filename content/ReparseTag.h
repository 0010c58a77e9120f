#pragma once
// Which reparse-point folders the content scan walks. Only name surrogates (symbolic links, junctions and
// the like) stand for another place in the tree and may loop back on themselves; every other tag is a
// folder of its own whose contents a filter driver supplies, such as a cloud-synced folder whose files are
// fetched on demand, and its files are the shop's content like any other.
#include <cstdint>

namespace plumwick {

// The tag bit the window system reserves for name surrogates.
inline constexpr std::uint32_t kReparseTagNameSurrogate = 0x20000000u;

// Every real reparse point has a tag; 0 means the listing did not give one (Wine lists Unix links so), and
// such a folder is taken for a link, since walking a link can loop.
inline bool WalksReparseFolder(std::uint32_t reparseTag) {
    return reparseTag != 0 && (reparseTag & kReparseTagNameSurrogate) == 0;
}

} // namespace plumwick
