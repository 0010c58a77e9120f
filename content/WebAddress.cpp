#include "content/WebAddress.h"

#include "common/TextUtil.h"

#include <algorithm>
#include <vector>

namespace plumwick {

namespace {

char16_t Lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameText(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

WebAddressResult Refuse(std::string message) {
    return {std::nullopt, std::move(message)};
}

// The scheme of an absolute reference ("HTTP" in "HTTP://x"), or nothing for a relative one.
std::optional<std::u16string_view> SchemeOf(std::u16string_view reference) {
    std::size_t colon = reference.find(u':');
    if (colon == std::u16string_view::npos || colon == 0) {
        return std::nullopt;
    }
    std::u16string_view scheme = reference.substr(0, colon);
    auto schemeChar = [](char16_t c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'+' || c == u'-' || c == u'.';
    };
    if (!std::all_of(scheme.begin(), scheme.end(), schemeChar) ||
        !(Lower(scheme[0]) >= u'a' && Lower(scheme[0]) <= u'z')) {
        return std::nullopt;
    }
    return scheme;
}

// "/a/b/../c/./d" -> "/a/c/d", as a browser resolves a path.
std::u16string RemoveDotSegments(std::u16string_view path) {
    std::vector<std::u16string_view> kept;
    std::u16string_view rest = path.substr(1);
    bool endsInFolder = false;
    while (true) {
        std::size_t cut = rest.find(u'/');
        std::u16string_view part = rest.substr(0, cut);
        bool last = cut == std::u16string_view::npos;
        endsInFolder = last && (part == u"." || part == u"..");
        if (part == u"..") {
            if (!kept.empty()) {
                kept.pop_back();
            }
        } else if (part != u".") {
            kept.push_back(part);
        }
        if (last) {
            break;
        }
        rest.remove_prefix(cut + 1);
    }
    std::u16string out;
    for (std::u16string_view part : kept) {
        out += u'/';
        out += part;
    }
    if (out.empty() || endsInFolder) {
        out += u'/';
    }
    return out;
}

} // namespace

std::u16string FormatWebAddress(const WebAddress& address) {
    std::u16string text = address.https ? u"https://" : u"http://";
    text += address.host;
    if (address.port != (address.https ? 443 : 80)) {
        text += u":" + Utf8ToUtf16(std::to_string(address.port));
    }
    return text + address.pathAndQuery;
}

WebAddressResult ParseWebAddress(std::u16string_view text) {
    text = Trim(text);
    if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c <= u' ' || c == 0x7F; })) {
        return Refuse("the address holds blanks or control characters");
    }
    std::optional<std::u16string_view> scheme = SchemeOf(text);
    WebAddress address;
    if (scheme && SameText(*scheme, u"https")) {
        address.https = true;
        address.port = 443;
    } else if (!scheme || !SameText(*scheme, u"http")) {
        return Refuse("only http:// and https:// addresses are fetched, not \"" + Utf16ToUtf8(text) + "\"");
    }
    std::u16string_view rest = text.substr(scheme->size() + 1);
    if (rest.substr(0, 2) != u"//") {
        return Refuse("the address has no host: \"" + Utf16ToUtf8(text) + "\"");
    }
    rest.remove_prefix(2);
    std::size_t authorityEnd = rest.find_first_of(u"/?#");
    std::u16string_view authority = rest.substr(0, authorityEnd);
    rest = authorityEnd == std::u16string_view::npos ? std::u16string_view{} : rest.substr(authorityEnd);
    if (authority.find(u'@') != std::u16string_view::npos) {
        return Refuse(
            "the address holds a user name or password, which everyone who can read the folder would "
            "see");
    }
    // The port follows the last ':' outside an IPv6 address's brackets.
    std::size_t closeBracket = authority.rfind(u']');
    std::size_t colon = authority.rfind(u':');
    if (colon != std::u16string_view::npos &&
        (closeBracket == std::u16string_view::npos || colon > closeBracket)) {
        std::u16string_view port = authority.substr(colon + 1);
        authority = authority.substr(0, colon);
        if (!port.empty()) {
            int value = 0;
            for (char16_t c : port) {
                if (c < u'0' || c > u'9' || value > 65535) {
                    value = -1;
                    break;
                }
                value = value * 10 + (c - u'0');
            }
            if (value < 1 || value > 65535) {
                return Refuse("the port \"" + Utf16ToUtf8(port) + "\" is not a number from 1 to 65535");
            }
            address.port = value;
        }
    }
    // Only an IPv6 address in brackets may hold ':' (or brackets).
    const bool bracketed = !authority.empty() && authority.front() == u'[';
    const std::u16string_view bare = bracketed ? std::u16string_view{} : authority;
    if (authority.empty() || bracketed != (closeBracket != std::u16string_view::npos) ||
        (bracketed && closeBracket != authority.size() - 1) || bare.find_first_of(u":[]") != bare.npos) {
        return Refuse("the address has no usable host: \"" + Utf16ToUtf8(text) + "\"");
    }
    address.host.assign(authority);
    std::u16string_view path = rest.substr(0, rest.find(u'#'));
    address.pathAndQuery =
        path.empty() || path.front() != u'/' ? u"/" + std::u16string(path) : std::u16string(path);
    return {address, {}};
}

WebAddressResult ParseInternetShortcut(std::string_view bytes, const AnsiCodePage& codePage) {
    const std::u16string text = DecodeTextBytes(bytes, codePage);
    std::u16string_view rest = text;
    bool inSection = false;
    bool sectionSeen = false;
    while (!rest.empty()) {
        std::size_t cut = rest.find_first_of(u"\r\n");
        std::u16string_view line = Trim(rest.substr(0, cut));
        rest = cut == std::u16string_view::npos ? std::u16string_view{} : rest.substr(cut + 1);
        if (!line.empty() && line.front() == u'[') {
            std::size_t close = line.find(u']');
            inSection = close != std::u16string_view::npos &&
                        SameText(Trim(line.substr(1, close - 1)), u"InternetShortcut");
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        std::size_t eq = line.find(u'=');
        if (inSection && eq != std::u16string_view::npos && SameText(Trim(line.substr(0, eq)), u"URL")) {
            return ParseWebAddress(line.substr(eq + 1));
        }
    }
    return Refuse(sectionSeen ? "the [InternetShortcut] section has no URL= line"
                              : "there is no [InternetShortcut] section");
}

WebAddressResult FollowRedirect(const WebAddress& from, std::u16string_view location) {
    location = Trim(location);
    if (location.empty()) {
        return Refuse("the redirect names no address");
    }
    std::u16string absolute;
    const std::u16string origin = FormatWebAddress(WebAddress{from.https, from.host, from.port, u""});
    if (std::optional<std::u16string_view> scheme = SchemeOf(location)) {
        const bool http = SameText(*scheme, u"http");
        if (!http && !SameText(*scheme, u"https")) {
            return Refuse("a redirect to a " + Utf16ToUtf8(*scheme) + ": address is refused");
        }
        if (from.https && http) {
            return Refuse("a redirect from https to http is refused");
        }
        absolute.assign(location);
    } else if (location.substr(0, 2) == u"//") {
        absolute = (from.https ? u"https:" : u"http:") + std::u16string(location);
    } else {
        // A path, a path relative to the current one's folder, or only a new query.
        std::u16string_view current = std::u16string_view(from.pathAndQuery);
        std::u16string_view currentPath = current.substr(0, current.find(u'?'));
        std::u16string path;
        if (location.front() == u'/') {
            path.assign(location);
        } else if (location.front() == u'?') {
            path = std::u16string(currentPath) + std::u16string(location);
        } else {
            path =
                std::u16string(currentPath.substr(0, currentPath.rfind(u'/') + 1)) + std::u16string(location);
        }
        absolute = origin + path;
    }
    WebAddressResult next = ParseWebAddress(absolute);
    if (next.address) {
        std::u16string_view full = next.address->pathAndQuery;
        std::u16string_view pathOnly = full.substr(0, full.find(u'?'));
        next.address->pathAndQuery =
            RemoveDotSegments(pathOnly) + std::u16string(full.substr(pathOnly.size()));
    }
    return next;
}

} // namespace plumwick
