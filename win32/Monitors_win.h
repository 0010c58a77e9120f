#pragma once
// The desktop's monitors as the system lists them now, each with its device name, work area and DPI.
#include "common/Monitors.h"
#include "win32/Windows_win.h"

#include <vector>

namespace plumwick::win {

// Empty when the system lists none (the caller then leaves everything where it is).
std::vector<MonitorInfo> ListMonitors();

RECT ToRect(const PixelRect& rect);

} // namespace plumwick::win
