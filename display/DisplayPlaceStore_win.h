#pragma once
// The display's vertical place across restarts: where the main text window starts, and remembering it
// after a drag.
#include "win32/Windows_win.h"

#include <optional>

namespace plumwick::win {

// The main window's top in screen pixels at start: the remembered place, brought inside the work area
// with the panel, toolbar and line of this font size; the default place when nothing is remembered.
int StartingMainTopPx(int defaultTopPx, float fontSize);

// The main window's top in screen pixels now; nothing without a window.
std::optional<int> WindowTopPx(HWND window);

// Remembers the main window's top once a drag has ended, when it differs from where the drag started.
void RememberDisplayTopAfterDrag(HWND mainWindow, std::optional<int> topAtDragStart);

} // namespace plumwick::win
