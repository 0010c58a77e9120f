#pragma once
// FrmShow: the current message line, as wide as the screen and 646 px high, above the taskbar.
#include "display/TextWindow_win.h"

namespace plumwick {

class MainTextWindow : public TextWindow {
public:
    explicit MainTextWindow(App& app) : TextWindow(app, Role::Main) {}
    ~MainTextWindow() override;

    // The load: full screen width, on the taskbar, GDI+, the karaoke window, topmost, the about window.
    bool Load();
    // Draws the line with the six shadow passes and the face; a non-empty line becomes CurrentText.
    void DrawText(const std::u16string& text);
    // DrawText(CurrentText).
    void RefreshText();

    static constexpr int kDesignHeightTwips = 9690; // 646 px

private:
    void OnDoubleClick() override;
};

} // namespace plumwick
