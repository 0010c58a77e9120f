#pragma once
// The content scan's lister on the Windows file system.
#include "content/DirectoryLister.h"

namespace plumwick::win {

// FindFirstFileExW / FindNextFileW. Hidden and system entries are left out; folders that are name-surrogate
// reparse points (junctions, folder links, mount points) are neither walked nor offered, so a junction back
// up the tree cannot loop the scan. Cloud-synced folders are reparse points too, and are walked.
class WinDirectoryLister : public DirectoryLister {
  public:
    std::vector<Item> List(const std::u16string& folder) override;
};

} // namespace plumwick::win
