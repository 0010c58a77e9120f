#include "win32/Window_win.h"

#include "common/Numeric.h"
#include "common/Twips.h"
#include "win32/Strings_win.h"

#include <cmath>

namespace plumwick::win {

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

int TwipsToPixels(double twips) {
    double px = RoundHalfEven(twips / 15.0);
    if (!std::isfinite(px)) {
        return 0;
    }
    if (px > 1e8) {
        return 100000000;
    }
    if (px < -1e8) {
        return -100000000;
    }
    return static_cast<int>(px);
}

int ScreenWidthTwips() { return GetSystemMetrics(SM_CXSCREEN) * 15; }
int ScreenHeightTwips() { return GetSystemMetrics(SM_CYSCREEN) * 15; }

Window::~Window() { Destroy(); }

void Window::Destroy() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        DestroyWindow(hwnd);
        // WM_NCDESTROY clears hwnd_; make sure even if the window was destroyed elsewhere.
        hwnd_ = nullptr;
    }
}

bool Window::Create(const WindowClass& cls, DWORD exStyle, DWORD style, const wchar_t* title, int x, int y,
                    int width, int height, HWND parent, HMENU menu) {
    HINSTANCE instance = ModuleInstance();
    creationFailure_.clear();
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, cls.name, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = cls.style;
        wc.lpfnWndProc = &Window::StaticProc;
        wc.hInstance = instance;
        wc.hCursor = cls.cursor ? cls.cursor : LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = cls.background;
        wc.lpszClassName = cls.name;
        wc.hIcon = cls.icon;
        if (!RegisterClassExW(&wc)) {
            creationFailure_ = LastErrorText(L"RegisterClassExW");
            return false;
        }
    }
    HWND hwnd = CreateWindowExW(exStyle, cls.name, title, style, x, y, width, height, parent, menu, instance, this);
    if (!hwnd) {
        creationFailure_ = LastErrorText(L"CreateWindowExW");
    }
    return hwnd != nullptr;
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        auto create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        LRESULT result = self->HandleMessage(message, wParam, lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
        return result;
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Window::IsVisible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Window::Show(bool visible) {
    if (hwnd_) {
        ShowWindow(hwnd_, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
}

namespace {
RECT WindowRectOf(HWND hwnd) {
    RECT rc{};
    if (hwnd) {
        GetWindowRect(hwnd, &rc);
    }
    return rc;
}
} // namespace

int Window::LeftTwips() const { return WindowRectOf(hwnd_).left * 15; }
int Window::TopTwips() const { return WindowRectOf(hwnd_).top * 15; }
int Window::WidthTwips() const {
    RECT rc = WindowRectOf(hwnd_);
    return (rc.right - rc.left) * 15;
}
int Window::HeightTwips() const {
    RECT rc = WindowRectOf(hwnd_);
    return (rc.bottom - rc.top) * 15;
}

void Window::MoveTwips(double left, double top) {
    if (hwnd_) {
        SetWindowPos(hwnd_, nullptr, TwipsToPixels(left), TwipsToPixels(top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::SetWidthTwips(double width) {
    if (hwnd_) {
        RECT rc = WindowRectOf(hwnd_);
        SetWindowPos(hwnd_, nullptr, 0, 0, std::max(0, TwipsToPixels(width)), rc.bottom - rc.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::SetBoundsTwips(double left, double top, double width, double height) {
    if (hwnd_) {
        SetWindowPos(hwnd_, nullptr, TwipsToPixels(left), TwipsToPixels(top), std::max(0, TwipsToPixels(width)),
                     std::max(0, TwipsToPixels(height)), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int Window::ClientWidthPx() const {
    RECT rc{};
    if (hwnd_) {
        GetClientRect(hwnd_, &rc);
    }
    return rc.right - rc.left;
}

int Window::ClientHeightPx() const {
    RECT rc{};
    if (hwnd_) {
        GetClientRect(hwnd_, &rc);
    }
    return rc.bottom - rc.top;
}

std::int16_t TaskbarHeightTwips() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    int twipsPerPixel = dpi > 0 ? 1440 / dpi : 15;
    return plumwick::TaskbarHeightTwips(GetSystemMetrics(SM_CYSCREEN) * twipsPerPixel, twipsPerPixel, work.bottom);
}

void RunWaitingMessages(int limit) {
    MSG msg;
    for (int i = 0; i < limit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void CriticalMessage(const wchar_t* text, const wchar_t* title) {
    MessageBoxW(nullptr, text, title, MB_OK | MB_ICONHAND | MB_SYSTEMMODAL);
}

} // namespace plumwick::win
