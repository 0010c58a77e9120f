#pragma once
// The display's vertical place on the screen: where the main text window starts, and where it is now.
#include "common/DpiScale.h"
#include "win32/Windows_win.h"

#include <optional>

namespace plumwick::win {

// The main window's top in screen pixels at start: the remembered place, brought inside the work area
// with the panel, toolbar and line of this font size at the window's DPI; the default place when nothing is
// remembered.
int StartingMainTopPx(int defaultTopPx, float fontSize, std::optional<int> rememberedTopPx,
                      const DpiScale& scale);

// The main window's top in screen pixels now; nothing without a window.
std::optional<int> WindowTopPx(HWND window);

} // namespace plumwick::win
