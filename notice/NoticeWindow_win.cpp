#include "notice/NoticeWindow_win.h"

#include "win32/Handles_win.h"

namespace plumwick {

namespace {

constexpr int kTextWidthPx = 360;
constexpr int kPaddingPx = 10;

// The system's message font, made once and kept for the process: notices are rare and small.
HFONT NoticeFont() {
    static win::UniqueFont font = [] {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            return win::UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
        }
        return win::UniqueFont();
    }();
    return font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

} // namespace

SIZE NoticeWindow::Measure(const std::wstring& text) {
    // The message font is the system's, at its DPI; the box grows with it.
    const DpiScale scale = win::PrimaryScale();
    const int textWidth = scale.Pixels(kTextWidthPx);
    const int padding = scale.Pixels(kPaddingPx);
    SIZE size{textWidth + 2 * padding, scale.Pixels(60)};
    HDC screen = GetDC(nullptr);
    if (!screen) {
        return size;
    }
    HGDIOBJ previous = SelectObject(screen, NoticeFont());
    RECT box{0, 0, textWidth, 0};
    DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &box, kTextFormat | DT_CALCRECT);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    // Two pixels for the border.
    size.cy = box.bottom - box.top + 2 * padding + 2;
    return size;
}

bool NoticeWindow::Open(const std::wstring& text, const PixelRect& place) {
    text_ = text;
    win::WindowClass cls{kClassName};
    cls.background = GetSysColorBrush(COLOR_INFOBK);
    // The caption carries the text, so tools that list windows can read it; the window shows no caption.
    if (!Create(cls, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, WS_POPUP | WS_BORDER, text.c_str(),
                place.left, place.top, place.Width(), place.Height(), nullptr)) {
        return false;
    }
    SetTimer(Handle(), kCloseTimer, kNoticeLifetimeMs, nullptr);
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    return true;
}

PixelRect NoticeWindow::Place() const {
    RECT r{};
    if (Handle()) {
        GetWindowRect(Handle(), &r);
    }
    return {r.left, r.top, r.right, r.bottom};
}

LRESULT NoticeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_TIMER:
        Destroy();
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

void NoticeWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    if (!dc) {
        return;
    }
    RECT box{};
    GetClientRect(Handle(), &box);
    InflateRect(&box, -Scale().Pixels(kPaddingPx), -Scale().Pixels(kPaddingPx));
    HGDIOBJ previous = SelectObject(dc, NoticeFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &box, kTextFormat);
    SelectObject(dc, previous);
    EndPaint(Handle(), &ps);
}

} // namespace plumwick
