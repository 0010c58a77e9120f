#pragma once
// What the toolbar's buttons act on outside the toolbar and the rotation; the start-up code wires it.
#include <string>

namespace plumwick {

class ToolbarHost {
  public:
    virtual ~ToolbarHost() = default;
    // Writes the settings file after the look has changed.
    virtual void SaveSettings() = 0;
    virtual void ToggleContentManager() = 0;
    virtual void ShowAbout() = 0;
    // The close button: "END" through the command box, exactly as a sender ends the program.
    virtual void EndProgram() = 0;
    virtual void AlignKaraokeOverMain() = 0;
};

} // namespace plumwick
