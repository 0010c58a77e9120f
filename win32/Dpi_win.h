#pragma once
// The DPI a window or monitor is drawn at. The calls that give it per window or per monitor came after
// Windows 7, so they are looked up at run time: importing them would stop the program from starting there.
// Where they are missing, the system DPI (one for every monitor) stands in.
#include "win32/Windows_win.h"

namespace plumwick::win {

inline constexpr unsigned kBaseDpi = 96;

// The DPI of the whole desktop, as set when the user signed in.
unsigned SystemDpi();
// The DPI of the monitor a window lies on (of the window itself from Windows 10 1607 on).
unsigned DpiForWindow(HWND window);
unsigned DpiForMonitor(HMONITOR monitor);
// The DPI of the monitor that holds the point, e.g. where a window is about to be created.
unsigned DpiForPoint(POINT point);

// AdjustWindowRectEx for a window drawn at `dpi` (its frame and caption scale with it).
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, unsigned dpi);

// The DPI awareness a window was made with, or with a null window this thread's: "per-monitor-v2",
// "per-monitor", "system" or "unaware" (for the tests, which check that the manifest took effect).
const char* DpiAwareness(HWND window = nullptr);

} // namespace plumwick::win
