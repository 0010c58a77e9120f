#pragma once
// What the toolbar's buttons and its rotation act on outside the toolbar; the start-up code wires it.
#include <string>

namespace plumwick {

class ToolbarHost {
  public:
    virtual ~ToolbarHost() = default;
    // The rotation and the history draw a message as the main line and start the karaoke sweep.
    virtual void DrawMain(const std::u16string& line) = 0;
    virtual void StartKaraokeTimer() = 0;
    // Writes the settings file after the look has changed.
    virtual void SaveSettings() = 0;
    virtual void ToggleContentManager() = 0;
    virtual void ShowAbout() = 0;
    // The close button: "END" through the command box, exactly as a sender ends the program.
    virtual void EndProgram() = 0;
    virtual void AlignKaraokeOverMain() = 0;
};

} // namespace plumwick
