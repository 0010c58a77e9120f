#pragma once
// One tick of the karaoke sweep on screen: the window becomes `newWidth` pixels wide and shows the left
// `newWidth` columns of the line, which is laid out across the whole screen.
//
// With the kept image the line is rendered once and a tick only hands the image over at the new width;
// a tick that leaves the width as it was draws nothing (after a sweep has passed the line's end the window
// sits at the screen's width with the timer still running, so this is the usual tick). The
// straightforward mode renders a bitmap as wide as the window on every tick.
#include "display/LayeredTextRenderer_win.h"

#include <string>

namespace plumwick {

class SweepPainter {
public:
    explicit SweepPainter(LayeredTextRenderer& renderer) : renderer_(renderer) {}

    // A new line is armed: its first tick draws whatever the width.
    void Arm() { drawnSinceArmed_ = false; }

    // Draws the line as a window `width` pixels wide shows it (nothing in the straightforward mode when the
    // window has no width). True when the window received a new image.
    bool Draw(HWND window, const std::u16string& text, const LineStyle& style, int width, int screenWidth,
              int height);

    // Draws the tick from `oldWidth` to `newWidth` pixels. An empty text or a width of 0 only resizes the
    // window. True when the window received a new image.
    bool Tick(HWND window, const std::u16string& text, const LineStyle& style, int oldWidth, int newWidth,
              int screenWidth, int height);

private:
    LayeredTextRenderer& renderer_;
    bool drawnSinceArmed_ = false;
};

} // namespace plumwick
