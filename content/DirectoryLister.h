#pragma once
// Listing one folder for the content scan. The scan itself is portable; what a folder holds comes from a
// lister, so tests can feed it any tree and each platform decides what counts as hidden.
#include <string>
#include <vector>

namespace plumwick {

class DirectoryLister {
  public:
    virtual ~DirectoryLister() = default;

    struct Item {
        std::u16string name; // the entry's own name, no path
        bool isFolder;       // a folder the scan should walk
    };

    // The entries of `folder` (which ends in the separator), in the platform's listing order. "." and
    // "..", hidden and system entries are left out, and so are links and junctions to folders: they are
    // neither walked nor offered, so a tree that loops back on itself cannot keep the scan going. Other
    // reparse-point folders (cloud-synced ones) are listed as folders. An unreadable or
    // missing folder gives an empty list.
    virtual std::vector<Item> List(const std::u16string& folder) = 0;
};

// A lister on std::filesystem, usable on every platform. Hidden means a name beginning with '.'; only
// real folders and regular files (also through a link to a file) are listed, so a pipe or device named
// like a text file is never opened later.
class StdDirectoryLister : public DirectoryLister {
  public:
    std::vector<Item> List(const std::u16string& folder) override;
};

} // namespace plumwick
