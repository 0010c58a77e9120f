#include "app/SystemEvents_win.h"

#include <wtsapi32.h>

namespace plumwick {

namespace {

// Session notifications came with Windows XP's fast user switching; looked up, so a system without them
// (or Wine without the library) still starts.
using RegisterSessionCall = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionCall = BOOL(WINAPI*)(HWND);

HMODULE SessionLibrary() {
    static HMODULE library = LoadLibraryW(L"wtsapi32.dll"); // kept for the process's life
    return library;
}

template <typename Call> Call FindCall(const char* name) {
    HMODULE library = SessionLibrary();
    return library ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

} // namespace

SystemEvents::~SystemEvents() {
    if (sessionNotifications_ && Handle()) {
        if (auto unregister = FindCall<UnregisterSessionCall>("WTSUnRegisterSessionNotification")) {
            unregister(Handle());
        }
    }
    Destroy();
}

bool SystemEvents::Create() {
    win::WindowClass cls{L"PlumwickSystemEvents"};
    // Top-level (a message-only window hears no broadcasts), never shown.
    if (!win::Window::Create(cls, WS_EX_TOOLWINDOW, WS_POPUP, L"plumwick system events", 0, 0, 0, 0,
                             nullptr)) {
        return false;
    }
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    if (auto registerCall = FindCall<RegisterSessionCall>("WTSRegisterSessionNotification")) {
        sessionNotifications_ = registerCall(Handle(), NOTIFY_FOR_THIS_SESSION) != FALSE;
    }
    return true;
}

void SystemEvents::Call(const std::function<void()>& handler) {
    if (handler) {
        handler();
    }
}

LRESULT SystemEvents::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (taskbarCreated_ != 0 && message == taskbarCreated_) {
        Call(handlers_.desktopChanged);
        return 0;
    }
    switch (message) {
    case WM_SETTINGCHANGE:
        // Only the action is read: lParam may point anywhere when another program sends this. A changed
        // auto-hide comes as a work-area change too.
        if (wParam == SPI_SETWORKAREA) {
            Call(handlers_.desktopChanged);
        }
        return 0;
    case WM_DISPLAYCHANGE:
        Call(handlers_.desktopChanged);
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
            Call(handlers_.resumed);
        }
        return TRUE;
    case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_SESSION_UNLOCK || wParam == WTS_CONSOLE_CONNECT ||
            wParam == WTS_REMOTE_DISCONNECT || wParam == WTS_SESSION_LOGON) {
            Call(handlers_.resumed);
        }
        return 0;
    case WM_QUERYENDSESSION:
        // Nothing to ask the user: everything the program remembers is kept as it changes.
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) {
            Call(handlers_.sessionEnding);
            if (lParam & ENDSESSION_CLOSEAPP) {
                Call(handlers_.closeRequested);
            }
        }
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

} // namespace plumwick
