#pragma once
// The content manager's folder scan and the grid its entries are laid out in.
#include "content/DirectoryLister.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// One offered content file. folder + caption is the full path the publish opens.
struct ContentEntry {
    std::u16string caption; // the file's name as the listing gives it
    std::u16string folder;  // the folder that holds it, always ending in the separator
};

// Guards against a runaway tree (the content folder pointed at a whole drive, a loop the lister failed
// to cut): real content trees hold a few dozen folders, and the scan runs while the program starts, so
// it must end in bounded time. Every entry becomes a check box window, and a process has at most 10000
// window objects by default, so the entry cap stays well below that.
inline constexpr std::size_t kMaxScanFolders = 10000;
inline constexpr std::size_t kMaxScanEntries = 5000;

struct ScanLimits {
    std::size_t maxFolders = kMaxScanFolders; // folders listed, the root included
    std::size_t maxEntries = kMaxScanEntries;
};

// True when the name, with blanks at either end removed and ASCII letters lower-cased, ends in ".txt",
// or names a feed.
bool IsContentFileName(std::u16string_view name);
// A feed's shortcut: the name ends so in ".url".
bool IsFeedFileName(std::u16string_view name);

// Walks `root` and its subfolders breadth-first: every entry of a folder in listing order, then the
// subfolders in the order they were found, level by level. Returns the content files in that order.
// An empty root gives nothing. The walk stops quietly at the limits.
std::vector<ContentEntry> ScanContentFolder(const std::u16string& root, DirectoryLister& lister,
                                            char16_t separator, const ScanLimits& limits = {});

// Grid of three columns, positions in twips, entries numbered from 1.
inline constexpr int kGridColumns = 3;
inline constexpr int kGridRowTwips = 450;
inline constexpr int kGridColumnTwips = 2500;
inline constexpr int kGridFirstTopTwips = 960;
inline constexpr int kGridFirstLeftTwips = 120;
// Outer window height with one row of entries; each further row adds kGridRowTwips.
inline constexpr int kGridOneRowWindowTwips = 1905;

struct EntryPlacement {
    int leftTwips;
    int topTwips;
};

// Where entry n (1-based) goes: columns at 120, 2620, 5120; rows 450 apart from 960.
EntryPlacement PlaceEntry(int n);

// The outer window height that shows all entries; nothing for no entries (the window keeps its design
// height).
std::optional<int> WindowHeightTwips(int entryCount);

// The window stops growing at the work area's height; a work area of 0 or less means unknown.
int ClampWindowHeight(int wantedTwips, int workAreaHeightTwips);

struct GridScroll {
    bool keepDesignHeight;  // no entries: leave the window as designed, the other fields are 0
    int windowHeightTwips;  // outer height to give the window
    int contentHeightTwips; // outer height the window would need to show every entry
    bool needsScroll;       // the entries do not fit: give the window a vertical scroll bar
    int scrollRangeTwips;   // contentHeightTwips - windowHeightTwips, how far the entries can scroll
};

// Height and scroll range for entryCount entries on a work area of the given height.
GridScroll ComputeGrid(int entryCount, int workAreaHeightTwips);

} // namespace plumwick
