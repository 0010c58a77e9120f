#include "app/SingleInstance_win.h"

namespace plumwick::win {

namespace {

// "Local\" scopes both to the user's session, as the window search below is.
constexpr wchar_t kMutexName[] = L"Local\\PlumwickDisplay";
constexpr wchar_t kWindowClass[] = L"PlumwickInstance";
constexpr UINT kShowContentMessage = WM_APP + 1;

} // namespace

bool ClaimSessionDisplay() {
    // Held until the process ends; the system releases it then, even after a crash.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    if (!mutex) {
        return true; // cannot tell: better two displays than none
    }
    return GetLastError() != ERROR_ALREADY_EXISTS;
}

bool AskRunningDisplayToShowContent(unsigned timeoutMs) {
    // The running display may still be starting; its window comes before its start-up steps.
    for (unsigned waited = 0;; waited += 100) {
        if (HWND running = FindWindowW(kWindowClass, nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(running, &process);
            // Lets the content manager come to the front: this start is what the user just did.
            AllowSetForegroundWindow(process);
            return PostMessageW(running, kShowContentMessage, 0, 0) != FALSE;
        }
        if (waited >= timeoutMs) {
            return false;
        }
        Sleep(100);
    }
}

bool InstanceWindow::Create() {
    return Window::Create(WindowClass{kWindowClass}, WS_EX_TOOLWINDOW, WS_POPUP, L"", 0, 0, 0, 0, nullptr);
}

LRESULT InstanceWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kShowContentMessage) {
        if (showContent_) {
            showContent_();
        }
        return 0;
    }
    return Default(message, wParam, lParam);
}

} // namespace plumwick::win
