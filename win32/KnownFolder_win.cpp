#include "win32/KnownFolder_win.h"

namespace plumwick::win {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    std::wstring folder;
    PWSTR known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &known)) && known) {
        folder = known;
    }
    // The shell allocates the path even when it fails.
    CoTaskMemFree(known);
    return folder;
}

} // namespace plumwick::win
