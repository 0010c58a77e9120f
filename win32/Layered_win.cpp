#include "win32/Layered_win.h"

#include <gdiplus.h>

#include <climits>
#include <cstring>

namespace plumwick::win {

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input; // version 1, no debug callback, background thread on
    status_ = static_cast<int>(Gdiplus::GdiplusStartup(&token_, &input, nullptr));
}

GdiplusSession::~GdiplusSession() {
    if (status_ == 0) {
        Gdiplus::GdiplusShutdown(token_);
    }
}

bool LayeredSurface::Create(HDC compatibleWith, int width, int height) {
    Release();
    if (width <= 0 || height <= 0 || width > INT_MAX / 4 / height) {
        return false;
    }
    UniqueDc dc(CreateCompatibleDC(compatibleWith));
    if (!dc) {
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down, so row y of the pixels is row y on screen
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) {
        return false;
    }
    SelectGuard selection(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    selection_ = std::move(selection);
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

void LayeredSurface::Release() {
    selection_.reset();
    bitmap_.reset();
    dc_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void LayeredSurface::Clear() {
    if (bits_) {
        GdiFlush();
        std::memset(bits_, 0, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
    }
}

bool LayeredSurface::Present(HWND window, int width) const {
    if (!dc_ || !window) {
        return false;
    }
    if (width < 0 || width > width_) {
        width = width_;
    }
    if (width == 0) {
        return false;
    }
    GdiFlush();
    AddLayeredStyle(window);
    WindowDc screen(window);
    SIZE size{width, height_};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return UpdateLayeredWindow(window, screen.get(), nullptr, &size, dc_.get(), &source, 0, &blend,
                               ULW_ALPHA) != FALSE;
}

bool LayeredSurface::PresentDirty(HWND window, const RECT& dirty) const {
    if (!dc_ || !window) {
        return false;
    }
    GdiFlush();
    AddLayeredStyle(window);
    WindowDc screen(window);
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof info;
    info.hdcDst = screen.get();
    info.psize = nullptr; // same size: the window system keeps its surface
    info.hdcSrc = dc_.get();
    info.pptSrc = &source;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = &dirty;
    return UpdateLayeredWindowIndirect(window, &info) != FALSE;
}

void AddLayeredStyle(HWND window) {
    LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if ((style & WS_EX_LAYERED) == 0) {
        SetWindowLongPtrW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    }
}

void SetLayeredTop(HWND window, bool topmost, bool clickThrough) {
    if (!window) {
        return;
    }
    LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    LONG_PTR next = clickThrough ? (style | WS_EX_LAYERED | WS_EX_TRANSPARENT) : WS_EX_LAYERED;
    SetWindowLongPtrW(window, GWL_EXSTYLE, next);
    MakeTopmost(window, topmost);
}

void MakeTopmost(HWND window, bool topmost) {
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int ScreenRefreshHz() {
    WindowDc screen(nullptr);
    return screen.get() ? GetDeviceCaps(screen.get(), VREFRESH) : 0;
}

LRESULT LayeredDisplayMessage(HWND window, UINT message) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
    }
    return message == WM_MOUSEACTIVATE ? MA_NOACTIVATE : 0;
}

} // namespace plumwick::win
