#pragma once
// The settings file data\system\desktoplrc.pst: read once at start-up, rewritten whenever the look changes.
#include <string>

namespace plumwick {

class App;

class SettingsStore {
public:
    explicit SettingsStore(App& app) : app_(app) {}

    // Reads the file into the display state and applies its scheme through the toolbar's SetColor
    // (which saves again and redraws).
    void LoadOkset();
    // Writes FontName, FontSize and ColorScheme (0 becomes 1 first). A file that cannot be written is
    // reported once per reason; the new look still applies.
    void SaveSet();
    std::wstring Path() const;

private:
    App& app_;
    std::wstring lastReportedProblem_;
};

} // namespace plumwick
