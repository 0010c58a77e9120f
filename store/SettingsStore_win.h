#pragma once
// The settings file data\system\desktoplrc.pst: read once at start-up, rewritten whenever the look changes.
// When the program folder cannot be written, %APPDATA%\plumwick\desktoplrc.pst takes over.
#include "common/AnsiCodePage.h"
#include "notice/Notice.h"
#include "store/SettingsFile.h"

#include <string>

namespace plumwick {

class SettingsStore {
  public:
    // The file lives in <programFolder>\data\system; what the operator should know goes to `notices`.
    SettingsStore(std::wstring programFolder, const AnsiCodePage& codePage, Notifier& notices)
        : programFolder_(std::move(programFolder)), codePage_(codePage), notices_(notices) {}

    // Chooses where the settings live (the program folder's file while it can be written, else the
    // per-user copy) and reads them; the defaults stand in for what is missing or damaged. A damaged
    // file is kept aside as desktoplrc.pst.bad (the caller writes the file again at once); a missing
    // data\system folder is made.
    Settings LoadOkset();
    // Writes FontName, FontSize and ColorScheme. Kept per user, a notice says once where; a file that
    // cannot be written is told in a notice and the new look still applies.
    void SaveSet(const Settings& settings);
    // The program folder's file.
    std::wstring Path() const;
    // The file saves go to (the program folder's until LoadOkset has chosen).
    std::wstring SavePath() const { return savePath_.empty() ? Path() : savePath_; }

  private:
    std::wstring programFolder_;
    const AnsiCodePage& codePage_;
    Notifier& notices_;
    std::wstring savePath_;
};

} // namespace plumwick
