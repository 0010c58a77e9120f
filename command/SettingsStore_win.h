#pragma once
// The settings file data\system\desktoplrc.pst: read once at start-up, rewritten whenever the look changes.
// When the program folder cannot be written, %APPDATA%\plumwick\desktoplrc.pst takes over.
#include "notice/Notice.h"

#include <string>

namespace plumwick {

class App;

class SettingsStore {
  public:
    SettingsStore(App& app, Notifier& notices) : app_(app), notices_(notices) {}

    // Chooses where the settings live, reads the file into the display state and applies its scheme
    // through the toolbar's SetColor (which saves again and redraws).
    void LoadOkset();
    // Writes FontName, FontSize and ColorScheme (0 becomes 1 first). Kept per user, the operator gets a
    // notice saying where; a file that cannot be written is told in a notice and the new look still
    // applies.
    void SaveSet();
    // The program folder's file.
    std::wstring Path() const;
    // The file saves go to (the program folder's until LoadOkset has chosen).
    std::wstring SavePath() const { return savePath_.empty() ? Path() : savePath_; }

  private:
    App& app_;
    Notifier& notices_;
    std::wstring savePath_;
};

} // namespace plumwick
