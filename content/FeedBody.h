#pragma once
// What a feed's address answered, turned into the text a content file would hold: one message per line.
// A body whose first character (after a byte-order mark and blanks) is '<' is XML and must be an RSS or
// Atom feed, whose item and entry titles become the lines; anything else is plain text, decoded as a
// .txt file is. A web page (a proxy's sign-in page, say) or a broken feed is refused, so the last good
// copy stays on the screen rather than markup.
#include "common/AnsiCodePage.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace plumwick {

// Bodies beyond this are refused (a feed of titles is a few kilobytes).
inline constexpr std::size_t kFeedMaxBytes = 1u << 20;

enum class FeedKind { Text, Rss, Atom };

struct FeedBody {
    FeedKind kind = FeedKind::Text;
    std::u16string text; // a content file's decoded text: lines joined by CR LF
    std::string error;   // UTF-8; when not empty the body is refused and text is empty
};

FeedBody DecodeFeedBody(std::string_view bytes, const AnsiCodePage& codePage);

} // namespace plumwick
