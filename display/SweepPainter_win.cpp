#include "display/SweepPainter_win.h"

#include "display/KaraokeSweep.h"

#include <algorithm>

namespace plumwick {

namespace {

void ResizeWindow(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

bool SweepPainter::Draw(HWND window, const std::u16string& text, const LineStyle& style, int width,
                        int screenWidth, int height) {
    if (renderer_.GetMode() == LayeredTextRenderer::Mode::Straightforward) {
        return width > 0 && renderer_.Draw(window, text, style, width, height);
    }
    // The line is rendered across the whole screen once; the window's width decides how much of it shows.
    return renderer_.Draw(window, text, style, screenWidth, height, std::max(width, 0));
}

bool SweepPainter::Tick(HWND window, const std::u16string& text, const LineStyle& style, int oldWidth,
                        int newWidth, int screenWidth, int height) {
    bool straightforward = renderer_.GetMode() == LayeredTextRenderer::Mode::Straightforward;
    if (drawnSinceArmed_ && !straightforward && SweepTickChangesNothing(oldWidth, newWidth)) {
        return false;
    }
    if (text.empty() || newWidth <= 0) {
        ResizeWindow(window, newWidth > 0 ? newWidth : 0, height);
        return false;
    }
    // The present sizes the window, so it is resized and repainted in one step.
    bool shown = Draw(window, text, style, newWidth, screenWidth, height);
    drawnSinceArmed_ = true;
    return shown;
}

} // namespace plumwick
