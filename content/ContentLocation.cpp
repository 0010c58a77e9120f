#include "content/ContentLocation.h"

#include "common/TextUtil.h"

#include <algorithm>

namespace plumwick {

namespace {

bool IsDriveLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

std::u16string WithSeparator(std::u16string path) {
    if (path.empty() || path.back() != u'\\') {
        path.push_back(u'\\');
    }
    return path;
}

// Doubled separators made single, except the two that open a network path.
std::u16string CollapseSeparators(std::u16string_view path) {
    std::u16string out;
    std::size_t keepFrom = path.starts_with(u"\\\\") ? 2 : 0;
    out.assign(path.substr(0, keepFrom));
    for (std::size_t i = keepFrom; i < path.size(); ++i) {
        if (path[i] == u'\\' && !out.empty() && out.back() == u'\\' && out.size() > keepFrom) {
            continue;
        }
        out.push_back(path[i]);
    }
    return out;
}

} // namespace

ContentFolderChoice ResolveContentFolder(std::u16string_view programFolder, std::u16string_view configured) {
    std::u16string base(programFolder);
    while (!base.empty() && (base.back() == u'\\' || base.back() == u'/')) {
        base.pop_back();
    }
    const std::u16string fallback = base + u"\\Text\\";
    auto refuse = [&](const std::string& why) {
        return ContentFolderChoice{fallback,
                                   "ContentFolder \"" + Utf16ToUtf8(configured) + "\" " + why +
                                       "; the content folder stays Text\\ beside the program",
                                   why};
    };

    std::u16string_view value = TrimBlanks(configured);
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
        value = TrimBlanks(value.substr(1, value.size() - 2));
    }
    if (value.empty()) {
        return {fallback, {}};
    }
    std::u16string path(value);
    std::replace(path.begin(), path.end(), u'/', u'\\');
    // Expansion leaves a variable that is not set as written: say so rather than list an empty folder.
    if (std::size_t open = path.find(u'%'); open != std::u16string::npos) {
        std::size_t close = path.find(u'%', open + 1);
        if (close != std::u16string::npos && close > open + 1 &&
            std::u16string_view(path).substr(open + 1, close - open - 1).find_first_of(u"\\ ") ==
                std::u16string_view::npos) {
            return refuse("names the variable " + Utf16ToUtf8(path.substr(open, close - open + 1)) +
                          ", which is not set on this PC");
        }
    }

    // "\\?\" and "\\.\" paths are the system's own forms and are taken as written.
    const bool devicePath = path.starts_with(u"\\\\?\\") || path.starts_with(u"\\\\.\\");
    const std::u16string_view checked = std::u16string_view(path).substr(devicePath ? 4 : 0);
    if (checked.find_first_of(u"<>\"|?*") != std::u16string_view::npos ||
        std::any_of(checked.begin(), checked.end(), [](char16_t c) { return c < u' '; })) {
        return refuse("holds characters no Windows path holds");
    }
    if (devicePath) {
        return {WithSeparator(path), {}};
    }
    if (path.starts_with(u"\\\\")) {
        // \\server\share, and anything below it.
        std::u16string_view rest = std::u16string_view(path).substr(2);
        std::size_t cut = rest.find(u'\\');
        std::u16string_view server = rest.substr(0, cut);
        std::u16string_view share = cut == std::u16string_view::npos
                                        ? std::u16string_view{}
                                        : rest.substr(cut + 1, rest.find(u'\\', cut + 1) - cut - 1);
        if (server.empty() || share.empty()) {
            return refuse("names no share (write \\\\server\\share\\folder)");
        }
        return {WithSeparator(CollapseSeparators(path)), {}};
    }
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':') {
        if (path.size() > 2 && path[2] != u'\\') {
            return refuse("is relative to the drive's current folder (write " +
                          Utf16ToUtf8(path.substr(0, 2)) + "\\ and the folder)");
        }
        return {WithSeparator(CollapseSeparators(path)), {}};
    }
    if (path.front() == u'\\') {
        return refuse("names no drive (write the drive letter, or \\\\server\\share)");
    }
    if (path.find(u':') != std::u16string::npos) {
        return refuse("holds characters no Windows path holds");
    }
    // Relative to the program folder, never to whatever the current directory happens to be.
    return {WithSeparator(CollapseSeparators(base + u"\\" + path)), {}};
}

std::u16string UnsetContentFolder(std::u16string_view programFolder, bool programFolderWritable,
                                  std::u16string_view sharedDocuments) {
    if (programFolderWritable || TrimBlanks(sharedDocuments).empty()) {
        return ResolveContentFolder(programFolder, u"").folder;
    }
    std::u16string shared(TrimBlanks(sharedDocuments));
    while (!shared.empty() && (shared.back() == u'\\' || shared.back() == u'/')) {
        shared.pop_back();
    }
    return shared + u"\\plumwick\\Text\\";
}

} // namespace plumwick
