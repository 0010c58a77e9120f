#pragma once
// A non-activating layered popup for the tests that present images to a real window; shown unless asked
// otherwise.
#include "win32/Windows_win.h"

namespace plumwick::test {

class LayeredTestWindow {
  public:
    LayeredTestWindow(int width, int height, bool shown = true) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PlumwickLayeredTestWindow";
        RegisterClassW(&wc); // fails harmlessly once the class exists
        hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, L"",
                                WS_POPUP, 0, 0, width, height, nullptr, nullptr, wc.hInstance, nullptr);
        if (shown) {
            ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        }
    }
    ~LayeredTestWindow() { DestroyWindow(hwnd_); }
    LayeredTestWindow(const LayeredTestWindow&) = delete;
    LayeredTestWindow& operator=(const LayeredTestWindow&) = delete;
    HWND get() const { return hwnd_; }

  private:
    HWND hwnd_;
};

} // namespace plumwick::test
