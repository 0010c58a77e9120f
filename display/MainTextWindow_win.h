#pragma once
// The main text window: the current message line, as wide as the screen and 646 px high, above the taskbar.
#include "display/TextWindow_win.h"

#include <optional>

namespace plumwick {

class MainTextWindow : public TextWindow {
  public:
    MainTextWindow(const Look& look, DisplayGroup& group, LayeredTextRenderer::Mode mode)
        : TextWindow(Role::Main, look, group, mode) {}
    ~MainTextWindow() override;

    // The hidden window across the screen's width, on the taskbar, topmost, with its renderer started;
    // where a drag left it last time (screen pixels), if anywhere, brought inside the work area.
    bool Create(std::optional<int> rememberedTopPx);
    // Draws the line with the six shadow passes and the face; a non-empty line becomes CurrentText.
    void DrawText(const std::u16string& text);
    // DrawText(CurrentText).
    void RefreshText();
    const std::u16string& CurrentText() const { return currentText_; }
    // The line taken down: the window shows nothing, and a change of look does not bring the line back.
    void TakeDown() {
        DrawText(u" "); // a blank line is what puts an empty image on the screen
        currentText_.clear();
        ClearSurface();
    }

    static constexpr int kDesignHeightTwips = 9690; // 646 px

  private:
    void OnDoubleClick() override;
    void LookChanged(unsigned aspects) override;
    void OnDpiChanged(const RECT& suggested) override;

    std::u16string currentText_;
};

} // namespace plumwick
