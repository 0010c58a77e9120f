#include "win32/Files_win.h"

#include "win32/Handles_win.h"

namespace plumwick::win {

Result ReplaceFileContents(const std::wstring& path, const std::wstring& temporary, std::string_view bytes,
                           DWORD moveFlags, bool nameFiles) {
    auto call = [&](const wchar_t* name, const std::wstring& file) {
        return nameFiles ? std::wstring(name) + L" " + file : std::wstring(name);
    };
    {
        UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return Result::LastError(call(L"CreateFileW", temporary));
        }
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            Result failed = Result::LastError(call(L"WriteFile", temporary));
            file.reset();
            DeleteFileW(temporary.c_str());
            return failed;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), moveFlags)) {
        Result failed = Result::LastError(call(L"MoveFileExW", path));
        DeleteFileW(temporary.c_str());
        return failed;
    }
    return {};
}

} // namespace plumwick::win
