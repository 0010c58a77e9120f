#include "content/ContentSeed_win.h"

#include "win32/Handles_win.h"

#include <shlobj.h>

namespace plumwick::win {

namespace {

void CopyTree(const std::wstring& from, const std::wstring& to, Result& first) {
    WIN32_FIND_DATAW found{};
    UniqueFind find(FindFirstFileW((from + L"*").c_str(), &found));
    if (!find) {
        return;
    }
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L".." ||
            (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                continue; // a link may lead anywhere, and back up the tree
            }
            if (!CreateDirectoryW((to + name).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS &&
                first) {
                first = Result::LastError(L"CreateDirectoryW");
            }
            CopyTree(from + name + L"\\", to + name + L"\\", first);
        } else if (!CopyFileW((from + name).c_str(), (to + name).c_str(), TRUE) &&
                   GetLastError() != ERROR_FILE_EXISTS && first) {
            first = Result::LastError(L"CopyFileW");
        }
    } while (FindNextFileW(find.get(), &found));
}

} // namespace

Result SeedContentFolder(const std::wstring& from, const std::wstring& to) {
    if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return {};
    }
    int made = SHCreateDirectoryExW(nullptr, to.substr(0, to.size() - 1).c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS) {
        return Result::Failed(L"SHCreateDirectoryExW", static_cast<DWORD>(made));
    }
    Result first;
    CopyTree(from, to, first);
    return first;
}

} // namespace plumwick::win
