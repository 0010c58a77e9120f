#pragma once
// The settings file data\system\desktoplrc.pst: read once at start-up, rewritten whenever the look changes.
// When the program folder cannot be written, %APPDATA%\plumwick\desktoplrc.pst takes over.
#include "common/AnsiCodePage.h"
#include "display/Look.h"
#include "notice/Notice.h"

#include <string>

namespace plumwick {

class SettingsStore {
  public:
    // The file lives in <programFolder>\data\system; what the operator should know goes to `notices`.
    SettingsStore(Look& look, std::wstring programFolder, const AnsiCodePage& codePage, Notifier& notices)
        : look_(look), programFolder_(std::move(programFolder)), codePage_(codePage), notices_(notices) {}

    // Chooses where the settings live (the program folder's file while it can be written, else the
    // per-user copy), reads the file into the look, applies its scheme and writes the file again. A
    // damaged file is kept aside as desktoplrc.pst.bad first; a missing data\system folder is made.
    void LoadOkset();
    // Writes FontName, FontSize and ColorScheme (0 becomes 1 first). Kept per user, a notice says once
    // where; a file that cannot be written is told in a notice and the new look still applies.
    void SaveSet();
    // The program folder's file.
    std::wstring Path() const;
    // The file saves go to (the program folder's until LoadOkset has chosen).
    std::wstring SavePath() const { return savePath_.empty() ? Path() : savePath_; }

  private:
    Look& look_;
    std::wstring programFolder_;
    const AnsiCodePage& codePage_;
    Notifier& notices_;
    std::wstring savePath_;
};

} // namespace plumwick
