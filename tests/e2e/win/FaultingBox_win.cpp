// The display program whose command box sits on a control that faults whenever it is given any text but
// the idle one, the way Wine's EDIT faults while laying out some scripts (Wine then swallows the fault and
// unwinds past the window procedures in between). The end-to-end tests drive it to show that no command
// depends on how the control copes with a sender's text.
#include "app/App_win.h"

#include <objbase.h>

namespace {

WNDPROC g_systemEdit = nullptr;

LRESULT CALLBACK FaultingEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT && lParam) {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        if (lstrcmpW(cls, L"ThunderRT6TextBox") == 0 && *text && lstrcmpW(text, L"KrcMessage") != 0) {
            RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
        }
    }
    return CallWindowProcW(g_systemEdit, hwnd, message, wParam, lParam);
}

// Replaces the EDIT class's procedure for this process, before the command window builds its box on it.
bool InstallFaultingEdit() {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!edit) {
        return false;
    }
    g_systemEdit = reinterpret_cast<WNDPROC>(
        SetClassLongPtrW(edit, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FaultingEditProc)));
    DestroyWindow(edit);
    return g_systemEdit != nullptr;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (!InstallFaultingEdit()) {
        return 3;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    static plumwick::App app(plumwick::LayeredTextRenderer::Mode::Cached);
    if (!app.Start()) {
        return 1;
    }
    app.Run();
}
