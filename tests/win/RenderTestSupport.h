#pragma once
// What the renderer tests share: a real layered window to present to, and a comparison of two images.
#include "win32/Layered_win.h"

#include <algorithm>
#include <cstdlib>

namespace plumwick::test {

// A non-activating layered popup, shown unless asked otherwise.
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

// The largest difference of any channel of any pixel between two images of one size; -1 when their sizes
// differ. The kept image blends the passes itself, so it may differ from GDI+'s own blending by rounding.
inline int LargestChannelDifference(const win::LayeredSurface& a, const win::LayeredSurface& b) {
    if (a.width() != b.width() || a.height() != b.height()) {
        return -1;
    }
    int largest = 0;
    for (int i = 0; i < a.width() * a.height(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            int da = static_cast<int>((a.pixels()[i] >> shift) & 0xFF);
            int db = static_cast<int>((b.pixels()[i] >> shift) & 0xFF);
            largest = std::max(largest, std::abs(da - db));
        }
    }
    return largest;
}

// Rounding apart, the kept image is the fresh render: a missing, moved or recoloured pass differs by far
// more.
inline constexpr int kBlendRounding = 2;

} // namespace plumwick::test
