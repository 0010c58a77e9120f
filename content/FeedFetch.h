#pragma once
// What the program does with a feed's answer, apart from the transfer itself: which answers count, what
// a conditional request sends, how a feed's items join the rotation, and what the operator is told when
// a fetch fails.
#include "content/ContentText.h"
#include "content/FeedBody.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace plumwick {

// A feed is fetched at start and then this often; one fetch gives up after the time-out.
inline constexpr std::uint64_t kFeedPeriodMs = 5 * 60 * 1000;
inline constexpr std::uint64_t kFeedTimeoutMs = 10 * 1000;

enum class FeedAnswer {
    Fresh,       // 200: a new body
    NotModified, // 304: the copy the validators came from is still good
    Redirect,    // 301, 302, 303, 307, 308: the Location says where
    Failed,      // anything else
};
FeedAnswer ClassifyFeedStatus(int status);

// The request headers of a conditional fetch (CR LF after each); empty without validators.
std::u16string ConditionalHeaders(std::string_view etag, std::string_view lastModified);

// A feed's decoded body as a content file's text: its lines, each ending in a line break, so the next
// source's first line never runs on from its last; with the blank-line split each item is a message.
std::u16string FeedText(const FeedBody& body, SplitOption option);

// The notice when a feed cannot be fetched, naming its .url and the reason.
std::u16string FeedFailedNotice(std::u16string_view source, std::u16string_view reason);

} // namespace plumwick
