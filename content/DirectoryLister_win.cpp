#include "content/DirectoryLister_win.h"

#include "content/ReparseTag.h"
#include "win32/Handles_win.h"

#include <string>

namespace plumwick::win {

namespace {

static_assert(kReparseTagNameSurrogate == 0x20000000u && IsReparseTagNameSurrogate(IO_REPARSE_TAG_SYMLINK) &&
              IsReparseTagNameSurrogate(IO_REPARSE_TAG_MOUNT_POINT));

// The search pattern for a folder ending in "\". Deep trees pass MAX_PATH; an absolute drive or UNC
// path then takes the "\\?\" form, which lifts that limit.
std::u16string SearchPattern(const std::u16string& folder) {
    std::u16string pattern = folder + u"*";
    if (pattern.size() < MAX_PATH || pattern.starts_with(u"\\\\?\\")) {
        return pattern;
    }
    if (pattern.size() > 2 && pattern[1] == u':' && pattern[2] == u'\\') {
        return u"\\\\?\\" + pattern;
    }
    if (pattern.starts_with(u"\\\\")) {
        return u"\\\\?\\UNC\\" + pattern.substr(2);
    }
    return pattern;
}

} // namespace

std::vector<DirectoryLister::Item> WinDirectoryLister::List(const std::u16string& folder) {
    std::vector<Item> items;
    std::u16string pattern = SearchPattern(folder);
    WIN32_FIND_DATAW data{};
    win::UniqueFind find(FindFirstFileExW(reinterpret_cast<const wchar_t*>(pattern.c_str()), FindExInfoBasic,
                                          &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        return items;
    }
    do {
        std::u16string name(reinterpret_cast<const char16_t*>(data.cFileName));
        if (name.empty() || name == u"." || name == u"..") {
            continue;
        }
        const DWORD attributes = data.dwFileAttributes;
        if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
            continue;
        }
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // With the reparse-point attribute set, dwReserved0 holds the folder's reparse tag.
        if (isFolder && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            !WalksReparseFolder(data.dwReserved0)) {
            continue;
        }
        items.push_back({std::move(name), isFolder});
    } while (FindNextFileW(find.get(), &data));
    return items;
}

} // namespace plumwick::win
