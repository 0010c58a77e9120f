#include "content/FolderScan.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace plumwick {

namespace {

// The name, blanks at either end removed, ends in `suffix` (lower case) with ASCII letters in any case.
bool EndsWithSuffix(std::u16string_view name, std::u16string_view suffix) {
    std::size_t first = name.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return false;
    }
    std::u16string_view trimmed = name.substr(first, name.find_last_not_of(u' ') - first + 1);
    if (trimmed.size() < suffix.size()) {
        return false;
    }
    std::u16string_view tail = trimmed.substr(trimmed.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char16_t c = tail[i];
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
        if (c != suffix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsFeedFileName(std::u16string_view name) {
    return EndsWithSuffix(name, u".url");
}

bool IsContentFileName(std::u16string_view name) {
    return EndsWithSuffix(name, u".txt") || IsFeedFileName(name);
}

std::vector<ContentEntry> ScanContentFolder(const std::u16string& root, DirectoryLister& lister,
                                            char16_t separator, const ScanLimits& limits) {
    std::vector<ContentEntry> entries;
    if (root.empty() || limits.maxFolders == 0) {
        return entries;
    }
    // Folders are queued without their trailing separator and get it when their turn comes.
    std::vector<std::u16string> queue{root};
    for (std::size_t current = 0; current < queue.size(); ++current) {
        std::u16string folder = queue[current];
        if (folder.back() != separator) {
            folder.push_back(separator);
        }
        for (DirectoryLister::Item& item : lister.List(folder)) {
            if (item.name.empty() || item.name == u"." || item.name == u"..") {
                continue;
            }
            if (item.isFolder) {
                if (queue.size() < limits.maxFolders) {
                    queue.push_back(folder + item.name);
                }
            } else if (IsContentFileName(item.name)) {
                entries.push_back({std::move(item.name), folder});
                if (entries.size() >= limits.maxEntries) {
                    return entries;
                }
            }
        }
    }
    return entries;
}

namespace {
int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
} // namespace

EntryPlacement PlaceEntry(int n) {
    long long index = std::max(n, 1) - 1LL;
    return {ClampToInt(index % kGridColumns * kGridColumnTwips + kGridFirstLeftTwips),
            ClampToInt(index / kGridColumns * kGridRowTwips + kGridFirstTopTwips)};
}

std::optional<int> WindowHeightTwips(int entryCount) {
    if (entryCount < 1) {
        return std::nullopt;
    }
    return ClampToInt((entryCount - 1LL) / kGridColumns * kGridRowTwips + kGridOneRowWindowTwips);
}

int ClampWindowHeight(int wantedTwips, int workAreaHeightTwips) {
    if (workAreaHeightTwips <= 0) {
        return wantedTwips;
    }
    return std::min(wantedTwips, workAreaHeightTwips);
}

GridScroll ComputeGrid(int entryCount, int workAreaHeightTwips) {
    std::optional<int> wanted = WindowHeightTwips(entryCount);
    if (!wanted) {
        return {true, 0, 0, false, 0};
    }
    int window = ClampWindowHeight(*wanted, workAreaHeightTwips);
    return {false, window, *wanted, window < *wanted, *wanted - window};
}

} // namespace plumwick
