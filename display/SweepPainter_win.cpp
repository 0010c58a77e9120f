#include "display/SweepPainter_win.h"

#include "display/KaraokeSweep.h"

namespace plumwick {

namespace {

void ResizeWindow(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

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
    bool shown = straightforward ? renderer_.Draw(window, text, style, newWidth, height)
                                 : renderer_.Draw(window, text, style, screenWidth, height, newWidth);
    drawnSinceArmed_ = true;
    return shown;
}

} // namespace plumwick
