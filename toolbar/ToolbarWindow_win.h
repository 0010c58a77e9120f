#pragma once
// FrmSet: the floating, colour-keyed toolbar with its eleven picture buttons, the colour-scheme choice,
// the font dialog and the message rotation with its show history.
#include "win32/Window_win.h"

#include <cstdint>

namespace plumwick {

class App;

class ToolbarWindow : public win::Window {
public:
    explicit ToolbarWindow(App& app);
    ~ToolbarWindow() override;

    // Creates the (hidden) window and places it against the skin panel.
    bool Load();

    // Chooses scheme 1..5 (other numbers change no colour), saves the settings, redraws the main line.
    void SetColor(std::int16_t scheme);
    // Writes the settings file.
    void SaveSet();
    // Every button back to its normal picture.
    void RefreshSkin();

    // The rotation timer, as the content manager's publish drives it.
    void StopRotation();
    void StartRotation(unsigned intervalMs);
    bool RotationEnabled() const;

    // The picture box carrying the strip (the hover watch counts it as part of the display).
    HWND PictureHandle() const;
    // Closing does nothing of its own: nothing is saved.
    void Close();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    App& app_;
};

} // namespace plumwick
