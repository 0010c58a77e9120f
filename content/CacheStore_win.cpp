#include "content/CacheStore_win.h"

#include "common/FileBytes.h"
#include "common/TextUtil.h"
#include "win32/Handles_win.h"
#include "win32/KnownFolder_win.h"
#include "win32/Strings_win.h"
#include "win32/Windows_win.h"

namespace plumwick {

std::u16string FolderCacheStore::DefaultFolder() {
    std::u16string folder = win::ToU16(win::KnownFolder(FOLDERID_LocalAppData));
    if (folder.empty()) {
        return {};
    }
    return folder + u"\\plumwick\\cache\\";
}

std::optional<std::string> FolderCacheStore::Read(const std::string& name) {
    if (folder_.empty()) {
        return std::nullopt;
    }
    return ReadFileBytes(folder_ + Utf8ToUtf16(name), kContentFileMaxBytes);
}

bool FolderCacheStore::Write(const std::string& name, const std::string& bytes) {
    if (folder_.empty()) {
        return false;
    }
    std::wstring folder = win::ToWide(folder_);
    // Every level that is missing (plumwick\ too, on a first start); those there are left as they are.
    for (std::size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1)) {
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    }
    std::wstring path = folder + win::ToWide(Utf8ToUtf16(name));
    std::wstring temporary = path + L".tmp";
    {
        win::UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return false;
        }
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD wrote = 0;
            DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
            if (!WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr) || wrote == 0) {
                file.reset();
                DeleteFileW(temporary.c_str());
                return false;
            }
            done += wrote;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

void FolderCacheStore::Remove(const std::string& name) {
    if (!folder_.empty()) {
        DeleteFileW(win::ToWide(folder_ + Utf8ToUtf16(name)).c_str());
    }
}

std::vector<std::string> FolderCacheStore::List() {
    std::vector<std::string> names;
    if (folder_.empty()) {
        return names;
    }
    WIN32_FIND_DATAW found{};
    win::UniqueFind find(FindFirstFileW(win::ToWide(folder_ + u"*").c_str(), &found));
    if (!find) {
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(Utf16ToUtf8(win::ToU16(found.cFileName)));
        }
    } while (FindNextFileW(find.get(), &found));
    return names;
}

} // namespace plumwick
