#include "win32/Monitors_win.h"

#include "win32/Dpi_win.h"
#include "win32/Strings_win.h"

namespace plumwick::win {

namespace {

PixelRect FromRect(const RECT& rect) {
    return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) {
        return TRUE; // gone while listing: the next change lists again
    }
    MonitorInfo found;
    found.deviceName = ToU16(info.szDevice);
    found.rect = FromRect(info.rcMonitor);
    found.work = FromRect(info.rcWork);
    found.dpi = DpiForMonitor(monitor);
    found.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    reinterpret_cast<std::vector<MonitorInfo>*>(list)->push_back(std::move(found));
    return TRUE;
}

} // namespace

std::vector<MonitorInfo> ListMonitors() {
    std::vector<MonitorInfo> monitors;
    if (!EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors))) {
        monitors.clear();
    }
    return monitors;
}

RECT ToRect(const PixelRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace plumwick::win
