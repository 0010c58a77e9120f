#include "store/SettingsStore_win.h"

#include "common/FileBytes.h"
#include "store/SettingsLocation.h"
#include "store/SettingsLocation_win.h"
#include "win32/Files_win.h"
#include "win32/Result_win.h"
#include "win32/Strings_win.h"

namespace plumwick {

std::wstring SettingsStore::Path() const {
    return programFolder_ + L"\\data\\system\\desktoplrc.pst";
}

Settings SettingsStore::LoadOkset() {
    // A missing data\system folder is made, so the settings can be written back.
    CreateDirectoryW((programFolder_ + L"\\data").c_str(), nullptr);
    CreateDirectoryW((programFolder_ + L"\\data\\system").c_str(), nullptr);

    // The program folder's file while it can be written; otherwise a per-user copy (Program Files for a
    // standard user, a locked-down PC).
    std::wstring path = Path();
    std::wstring perUser = win::PerUserSettingsPath();
    bool perUserExists = !perUser.empty() && GetFileAttributesW(perUser.c_str()) != INVALID_FILE_ATTRIBUTES;
    SettingsLocation location =
        ChooseSettingsLocation(perUser.empty() || win::CanReplaceFile(path), perUserExists);
    if (location.readFrom == SettingsPlace::PerUser) {
        path = perUser;
    }
    savePath_ = location.saveTo == SettingsPlace::PerUser ? perUser : Path();

    bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    std::optional<std::string> bytes = exists ? ReadFileBytes(win::ToU16(path), 1 << 20) : std::nullopt;
    SettingsReadResult read = bytes ? ParseSettings(*bytes, codePage_) : MissingSettingsFile();
    if (!read.wellFormed && exists && path == savePath_) {
        // Keep what the operator wrote beside the well-formed file written below.
        std::wstring bad = path + L".bad";
        CopyFileW(path.c_str(), bad.c_str(), FALSE);
    }
    return read.settings;
}

void SettingsStore::SaveSet(const Settings& settings) {
    std::wstring path = SavePath();
    if (path != Path()) {
        win::MakeFolderOf(path);
    }
    win::Result written = win::ReplaceFileContents(path, path + L".new", FormatSettings(settings, codePage_),
                                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (written) {
        // Said once, after the first save there (at start-up), so it names a file that exists.
        if (path != Path()) {
            notices_.Notify(NoticeCause::SettingsPlace, SettingsKeptPerUserNotice(win::ToU16(path)));
        }
        return;
    }
    // The new look still applies; the operator hears once why it was not kept.
    notices_.Notify(NoticeCause::SettingsNotSaved,
                    SettingsNotSavedNotice(win::ToU16(path), win::ToU16(written.Text())));
}

} // namespace plumwick
