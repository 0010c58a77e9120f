#pragma once
// The settings file data\system\desktoplrc.pst: read once at start-up, rewritten whenever the look changes.
#include "common/AnsiCodePage.h"
#include "display/Look.h"

#include <string>

namespace plumwick {

class SettingsStore {
public:
    // The file lives in <programFolder>\data\system.
    SettingsStore(Look& look, std::wstring programFolder, const AnsiCodePage& codePage)
        : look_(look), programFolder_(std::move(programFolder)), codePage_(codePage) {}

    // Reads the file into the look, applies its scheme and writes the file again. A damaged file is kept
    // aside as desktoplrc.pst.bad first; a missing data\system folder is made.
    void LoadOkset();
    // Writes FontName, FontSize and ColorScheme (0 becomes 1 first). A file that cannot be written is
    // reported once per reason; the new look still applies.
    void SaveSet();
    std::wstring Path() const;

private:
    Look& look_;
    std::wstring programFolder_;
    const AnsiCodePage& codePage_;
    std::wstring lastReportedProblem_;
};

} // namespace plumwick
