#include "store/SettingsLocation_win.h"

#include "win32/Handles_win.h"
#include "win32/KnownFolder_win.h"

namespace plumwick::win {

bool CanReplaceFile(const std::wstring& path) {
    // The folder must take a new file: the save writes one and renames it.
    {
        UniqueFile probe(CreateFileW((path + L".new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (!probe) {
            return false;
        }
    }
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    // Opening for writing changes nothing, yet fails where the file itself is locked against writing.
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

std::wstring PerUserSettingsPath() {
    std::wstring folder = win::KnownFolder(FOLDERID_RoamingAppData);
    if (folder.empty()) {
        return {};
    }
    return folder + L"\\plumwick\\desktoplrc.pst";
}

void MakeFolderOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L'\\');
    if (slash != std::wstring::npos) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
}

} // namespace plumwick::win
