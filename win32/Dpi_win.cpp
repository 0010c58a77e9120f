#include "win32/Dpi_win.h"

#include "win32/Handles_win.h"

namespace plumwick::win {

namespace {

// The shcore values (shellscalingapi.h), spelled out so the header's import declarations stay out.
constexpr int kMonitorEffectiveDpi = 0;

struct DpiCalls {
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;                                      // Windows 10 1607
    UINT(WINAPI* getDpiForSystem)() = nullptr;                                          // Windows 10 1607
    BOOL(WINAPI* adjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr; // Windows 10 1607
    DPI_AWARENESS_CONTEXT(WINAPI* getThreadDpiAwarenessContext)() = nullptr;            // Windows 10 1607
    DPI_AWARENESS_CONTEXT(WINAPI* getWindowDpiAwarenessContext)(HWND) = nullptr;        // Windows 10 1607
    int(WINAPI* getAwarenessFromDpiAwarenessContext)(DPI_AWARENESS_CONTEXT) = nullptr;
    BOOL(WINAPI* areDpiAwarenessContextsEqual)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT) = nullptr;
    HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr; // Windows 8.1, shcore
    HRESULT(WINAPI* getProcessDpiAwareness)(HANDLE, int*) = nullptr;          // Windows 8.1, shcore

    DpiCalls() {
        if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
            Find(user32, "GetDpiForWindow", getDpiForWindow);
            Find(user32, "GetDpiForSystem", getDpiForSystem);
            Find(user32, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi);
            Find(user32, "GetThreadDpiAwarenessContext", getThreadDpiAwarenessContext);
            Find(user32, "GetWindowDpiAwarenessContext", getWindowDpiAwarenessContext);
            Find(user32, "GetAwarenessFromDpiAwarenessContext", getAwarenessFromDpiAwarenessContext);
            Find(user32, "AreDpiAwarenessContextsEqual", areDpiAwarenessContextsEqual);
        }
        // Only from the system folder; it is absent before Windows 8.1, where the flag may be unknown too.
        if (HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            Find(shcore, "GetDpiForMonitor", getDpiForMonitor);
            Find(shcore, "GetProcessDpiAwareness", getProcessDpiAwareness);
        }
    }

    template <typename Function> static void Find(HMODULE module, const char* name, Function& function) {
        function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};

const DpiCalls& Calls() {
    static const DpiCalls calls;
    return calls;
}

unsigned Valid(unsigned dpi) {
    return dpi > 0 ? dpi : kBaseDpi;
}

} // namespace

unsigned SystemDpi() {
    if (Calls().getDpiForSystem) {
        return Valid(Calls().getDpiForSystem());
    }
    WindowDc screen(nullptr);
    return Valid(screen.get() ? static_cast<unsigned>(GetDeviceCaps(screen.get(), LOGPIXELSX)) : 0);
}

unsigned DpiForMonitor(HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (monitor && Calls().getDpiForMonitor &&
        SUCCEEDED(Calls().getDpiForMonitor(monitor, kMonitorEffectiveDpi, &x, &y)) && x > 0) {
        return x;
    }
    return SystemDpi();
}

unsigned DpiForWindow(HWND window) {
    if (window && Calls().getDpiForWindow) {
        if (UINT dpi = Calls().getDpiForWindow(window)) {
            return dpi;
        }
    }
    return DpiForMonitor(window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) : nullptr);
}

unsigned DpiForPoint(POINT point) {
    return DpiForMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY));
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, unsigned dpi) {
    if (Calls().adjustWindowRectExForDpi) {
        return Calls().adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, dpi) != FALSE;
    }
    // Before Windows 10 1607 frames do not scale per monitor; the system's metrics are the right ones.
    return AdjustWindowRectEx(&rect, style, FALSE, exStyle) != FALSE;
}

const char* DpiAwareness(HWND window) {
    const DpiCalls& calls = Calls();
    if (calls.getThreadDpiAwarenessContext && calls.getWindowDpiAwarenessContext &&
        calls.getAwarenessFromDpiAwarenessContext) {
        DPI_AWARENESS_CONTEXT context =
            window ? calls.getWindowDpiAwarenessContext(window) : calls.getThreadDpiAwarenessContext();
        if (calls.areDpiAwarenessContextsEqual &&
            calls.areDpiAwarenessContextsEqual(context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) {
            return "per-monitor-v2";
        }
        switch (calls.getAwarenessFromDpiAwarenessContext(context)) {
        case 2:
            return "per-monitor";
        case 1:
            return "system";
        default:
            return "unaware";
        }
    }
    // Before Windows 10 1607 only this process's awareness can be asked for.
    if (window) {
        return "unknown";
    }
    int awareness = 0;
    if (calls.getProcessDpiAwareness && SUCCEEDED(calls.getProcessDpiAwareness(nullptr, &awareness))) {
        return awareness == 2 ? "per-monitor" : awareness == 1 ? "system" : "unaware";
    }
    return IsProcessDPIAware() ? "system" : "unaware";
}

} // namespace plumwick::win
