#pragma once
// The about window's fade-in, hold and fade-out, as a state machine without a clock: the window feeds it
// its timer ticks and clicks and carries out the effects it returns.
#include <optional>

namespace plumwick {

inline constexpr int kAboutWidth = 518; // client size in pixels, the picture's size
inline constexpr int kAboutHeight = 330;

// Timer intervals in milliseconds.
inline constexpr unsigned kFadeInIntervalMs = 1;
inline constexpr unsigned kHoldIntervalMs = 5000;
inline constexpr unsigned kFadeOutIntervalMs = 1;
inline constexpr int kFadeStep = 5;

// The invisible close spot near the top-right corner: 25 x 20 pixels at x 472, y 0 (client pixels).
bool IsInCloseSpot(int x, int y);

class FadeSequence {
  public:
    struct Effects {
        std::optional<int> alpha; // window opacity to apply, always within 0..255
        bool openHomePage = false;
        std::optional<bool> topmost; // true: into the topmost band, false: out of it
        bool unload = false;         // close the window; every timer is already off
    };

    Effects Load();
    Effects FadeInTick();
    Effects HoldTick();
    Effects FadeOutTick();
    Effects CloseSpotClick();
    Effects PictureClick();

    int Alpha() const { return alpha_; }
    int AlphaLimit() const { return alphaLimit_; }
    bool FadeInEnabled() const { return fadeInEnabled_; }
    bool HoldEnabled() const { return holdEnabled_; }
    bool FadeOutEnabled() const { return fadeOutEnabled_; }
    bool Unloaded() const { return unloaded_; }

  private:
    // Setting an opacity outside 0..255 leaves the window as it is.
    static std::optional<int> Opacity(int alpha);

    int alpha_ = 0;
    int alphaLimit_ = 0;
    bool fadeInEnabled_ = true; // the fade-in timer runs from the window's creation
    bool holdEnabled_ = false;
    bool fadeOutEnabled_ = false;
    bool unloaded_ = false;
};

} // namespace plumwick
