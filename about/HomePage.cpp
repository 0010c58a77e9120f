#include "about/HomePage.h"

#include <algorithm>

namespace plumwick {

namespace {

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return Lower(a) == Lower(b); });
}

bool EndsWithNoCase(std::u16string_view text, std::u16string_view suffix) {
    return text.size() >= suffix.size() && StartsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// Characters that never belong in a name handed to the shell: controls and quotes.
bool HasUnsafeCharacter(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char16_t c) { return c < 0x20 || c == 0x7F || c == u'"'; });
}

// Nor in an address, where a blank would end it.
bool HasBlank(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char16_t c) { return c == u' ' || c == 0xA0 || c == 0x3000; });
}

bool IsWebAddress(std::u16string_view text) {
    for (std::u16string_view scheme : {std::u16string_view(u"http://"), std::u16string_view(u"https://")}) {
        if (StartsWithNoCase(text, scheme)) {
            std::u16string_view rest = text.substr(scheme.size());
            return !rest.empty() && rest.front() != u'/' && !HasUnsafeCharacter(text) && !HasBlank(text);
        }
    }
    return false;
}

// The path of an .html file inside the folder, or nothing: no "..", no device or stream names, no
// second drive, no UNC or \\?\ form; forward slashes count as backslashes.
std::optional<std::u16string> PageInFolder(std::u16string_view configured, std::u16string_view folder) {
    if (configured.empty() || folder.empty() || HasUnsafeCharacter(configured) ||
        !EndsWithNoCase(configured, u".html")) {
        return std::nullopt;
    }
    std::u16string path(configured);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    std::u16string base(folder);
    while (!base.empty() && base.back() == u'\\') {
        base.pop_back();
    }
    std::u16string relative;
    if (StartsWithNoCase(path, base + u"\\")) {
        relative = path.substr(base.size() + 1);
    } else if (path.front() == u'\\' || path.find(u':') != std::u16string::npos) {
        return std::nullopt; // rooted elsewhere, another drive, a URL or a stream
    } else {
        relative = path;
    }
    if (relative.empty() || relative.find(u':') != std::u16string::npos || relative.front() == u'\\') {
        return std::nullopt;
    }
    // Every part a plain name: no "." or ".." (which could climb out), none empty.
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find(u'\\', start);
        if (end == std::u16string::npos) {
            end = relative.size();
        }
        std::u16string_view part = std::u16string_view(relative).substr(start, end - start);
        if (part.empty() || std::all_of(part.begin(), part.end(), [](char16_t c) { return c == u'.'; }) ||
            part.find_first_of(u"*?<>|") != std::u16string_view::npos) {
            return std::nullopt;
        }
        start = end + 1;
    }
    return base + u"\\" + relative;
}

} // namespace

HomePageChoice ChooseHomePage(std::u16string_view configured, std::u16string_view programFolder) {
    std::u16string folder(programFolder);
    while (!folder.empty() && folder.back() == u'\\') {
        folder.pop_back();
    }
    const std::u16string help = folder + u"\\help\\index.html";
    if (configured.empty()) {
        return {help, std::nullopt};
    }
    if (IsWebAddress(configured)) {
        return {std::u16string(configured), std::nullopt};
    }
    if (std::optional<std::u16string> page = PageInFolder(configured, folder)) {
        return {*page, std::nullopt};
    }
    constexpr std::size_t kShown = 200;
    std::u16string shown(configured.substr(0, kShown));
    if (configured.size() > kShown) {
        shown += u"…";
    }
    return {help, u"HomePage \"" + shown +
                      u"\" in shop.ini is neither an http:// or https:// address nor an .html page in the "
                      u"program folder; the about window opens the help page instead."};
}

} // namespace plumwick
