#pragma once
// Feed addresses: the .url file that names one, the address itself (http and https only), and where a
// redirect may lead. A feed is fetched unattended from a shop's PC, so an address that could read local
// files or downgrade a secure connection is refused rather than followed.
#include "common/AnsiCodePage.h"

#include <optional>
#include <string>
#include <string_view>

namespace plumwick {

struct WebAddress {
    bool https = false;
    std::u16string host;         // as written; an IPv6 address keeps its brackets
    int port = 80;               // the scheme's own when none is written
    std::u16string pathAndQuery; // begins with '/'; the fragment is dropped (it is never sent)
    bool operator==(const WebAddress&) const = default;
};

// The address written out again: "https://host[:port]/path?query", the port only when not the scheme's.
std::u16string FormatWebAddress(const WebAddress& address);

struct WebAddressResult {
    std::optional<WebAddress> address;
    std::string error; // UTF-8, when there is no address
};

// An absolute http or https address with a host. Any other scheme, a user name or password (which
// everyone who can read the content folder would see), a bad port, blanks or control characters are
// refused.
WebAddressResult ParseWebAddress(std::u16string_view text);

// The Windows Internet Shortcut a .url file holds: the URL= line of its [InternetShortcut] section
// (names without case; the first URL= counts, as Windows reads it), decoded as a content file is.
WebAddressResult ParseInternetShortcut(std::string_view bytes, const AnsiCodePage& codePage);

// Redirects followed for one fetch before giving up.
inline constexpr int kMaxFeedRedirects = 5;

// Where a redirect from `from` with the given Location leads. Relative locations are resolved against
// `from`. Plain http may move to https; any other change of scheme (https to http, or to anything but
// http and https) is refused.
WebAddressResult FollowRedirect(const WebAddress& from, std::u16string_view location);

} // namespace plumwick
