#include "content/DirectoryLister.h"

#include <filesystem>
#include <system_error>

namespace plumwick {

namespace fs = std::filesystem;

std::vector<DirectoryLister::Item> StdDirectoryLister::List(const std::u16string& folder) {
    std::vector<Item> items;
    // Path conversions throw on names the platform cannot represent; such a folder or name is skipped.
    try {
        std::error_code ec;
        fs::directory_iterator it(fs::path(folder), fs::directory_options::none, ec);
        if (ec) {
            return {};
        }
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            if (ec) {
                break;
            }
            try {
                std::u16string name = it->path().filename().u16string();
                if (name.empty() || name.front() == u'.') {
                    continue; // ".", ".." and hidden entries
                }
                std::error_code stateEc;
                if (it->is_symlink(stateEc)) {
                    // A link to a file is read like the file; a link to a folder is not walked.
                    if (it->is_regular_file(stateEc)) {
                        items.push_back({std::move(name), false});
                    }
                    continue;
                }
                fs::file_status status = it->symlink_status(stateEc);
                if (stateEc) {
                    continue;
                }
                if (fs::is_directory(status)) {
                    items.push_back({std::move(name), true});
                } else if (fs::is_regular_file(status)) {
                    items.push_back({std::move(name), false});
                }
            } catch (const std::exception&) {
                continue;
            }
        }
    } catch (const std::exception&) {
        return items;
    }
    return items;
}

} // namespace plumwick
