// Whether the settings file can be replaced where it lies, asked of the real file system.
#include "store/SettingsLocation_win.h"

#include <gtest/gtest.h>

#include <string>

using namespace plumwick;

namespace {

// A fresh folder under the temporary folder, removed afterwards with what the test left in it.
class Folder {
  public:
    Folder() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"plumwick-location-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~Folder() {
        for (const wchar_t* name : {L"\\desktoplrc.pst", L"\\desktoplrc.pst.new"}) {
            std::wstring file = path_ + name;
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW((path_ + L"\\desktoplrc.pst").c_str());
        RemoveDirectoryW(path_.c_str());
    }
    std::wstring File() const { return path_ + L"\\desktoplrc.pst"; }
    void Write(const char* bytes) const {
        HANDLE file = CreateFileW(File().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes, static_cast<DWORD>(strlen(bytes)), &written, nullptr);
        CloseHandle(file);
    }
    std::string Read() const {
        char buffer[64] = {};
        DWORD read = 0;
        HANDLE file =
            CreateFileW(File().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
        CloseHandle(file);
        return std::string(buffer, read);
    }
    bool Exists(const wchar_t* name) const {
        return GetFileAttributesW((path_ + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

  private:
    std::wstring path_;
};

} // namespace

TEST(SettingsFileProbe, AWritableFolderCanTakeTheFileWhetherItExistsOrNot) {
    Folder folder;
    EXPECT_TRUE(win::CanReplaceFile(folder.File()));
    folder.Write("Arial\r\n 36 \r\n 1 \r\n");
    EXPECT_TRUE(win::CanReplaceFile(folder.File()));
    // Asking leaves the file as it was and nothing beside it.
    EXPECT_EQ(folder.Read(), "Arial\r\n 36 \r\n 1 \r\n");
    EXPECT_FALSE(folder.Exists(L"\\desktoplrc.pst.new"));
}

TEST(SettingsFileProbe, AReadOnlyFileOrAFolderInItsPlaceCannotBeReplaced) {
    Folder folder;
    folder.Write("x");
    SetFileAttributesW(folder.File().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(win::CanReplaceFile(folder.File()));
    SetFileAttributesW(folder.File().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(folder.File().c_str());
    CreateDirectoryW(folder.File().c_str(), nullptr);
    EXPECT_FALSE(win::CanReplaceFile(folder.File()));
}

TEST(SettingsFileProbe, AMissingFolderCannotTakeTheFile) {
    EXPECT_FALSE(win::CanReplaceFile(L"C:\\no-such-folder-plumwick\\data\\system\\desktoplrc.pst"));
}

TEST(SettingsFileProbe, ThePerUserCopyLivesInTheUsersApplicationData) {
    std::wstring path = win::PerUserSettingsPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.substr(path.size() - std::wstring(L"\\plumwick\\desktoplrc.pst").size()),
              L"\\plumwick\\desktoplrc.pst");
    wchar_t appData[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
    EXPECT_EQ(lstrcmpiW(path.substr(0, wcslen(appData)).c_str(), appData), 0) << path.c_str();
}
