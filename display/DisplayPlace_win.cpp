#include "display/DisplayPlace_win.h"

#include "display/DisplayPlace.h"
#include "win32/Window_win.h"

namespace plumwick::win {

int StartingMainTopPx(int defaultTopPx, float fontSize, std::optional<int> rememberedTopPx,
                      const DpiScale& scale) {
    if (!rememberedTopPx) {
        return defaultTopPx;
    }
    RECT work = win::WorkArea();
    return ClampMainTopPx(*rememberedTopPx, work.top, work.bottom, ScaledReach(DesignReach(fontSize), scale));
}

std::optional<int> WindowTopPx(HWND window) {
    RECT rect{};
    if (!window || !GetWindowRect(window, &rect)) {
        return std::nullopt;
    }
    return rect.top;
}

} // namespace plumwick::win
