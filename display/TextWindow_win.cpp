#include "display/TextWindow_win.h"

#include "common/Twips.h"

namespace plumwick {

bool TextWindow::CreateTextWindow(const wchar_t* className, const wchar_t* title, int heightTwips) {
    win::WindowClass cls{className};
    cls.style = CS_DBLCLKS;
    heightTwips_ = heightTwips;
    // Sized once it exists, when the DPI it is shown at is known.
    if (!Create(cls, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, title, 0, 0, 1, 1,
                nullptr)) {
        return false;
    }
    PlaceOnTaskbar();
    return true;
}

void TextWindow::PlaceOnTaskbar() {
    const DpiScale& scale = Scale();
    int top = MainWindowTopTwips(win::ScreenHeightTwips(scale), heightTwips_, win::TaskbarHeightTwips(scale));
    SetBoundsTwips(0, top, win::ScreenWidthTwips(scale), heightTwips_);
}

LineStyle TextWindow::Scaled(LineStyle style) const {
    const DpiScale& scale = Scale();
    style.fontSize = scale.Scale(style.fontSize);
    for (RenderPass& pass : style.passes) {
        pass.offset = scale.Pixels(pass.offset);
    }
    style.layoutWidth = scale.Pixels(style.layoutWidth);
    return style;
}

bool TextWindow::CheckRendererStarted() {
    if (renderer_.Started()) {
        return true;
    }
    win::CriticalMessage(L"Faild to Load GDI+! Please ReInstall your Application", L"a gdi+ Init Error");
    Destroy();
    return false;
}

bool TextWindow::PlaceAt(const RECT& rect) {
    RECT now{};
    if (!Handle() || !GetWindowRect(Handle(), &now) || EqualRect(&now, &rect)) {
        return false;
    }
    bool resized =
        now.right - now.left != rect.right - rect.left || now.bottom - now.top != rect.bottom - rect.top;
    SetWindowPos(Handle(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return resized;
}

void TextWindow::ShowOwnedBy(HWND owner) {
    if (!Handle()) {
        return;
    }
    if (owner && owner != Handle()) {
        SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    Show();
}

void TextWindow::OnMouseMove(int x, int y) {
    if (std::optional<DragTracker::Way> way = drag_.Moved(x, y)) {
        group_.Drag(role_ == Role::Main ? DragSource::Main : DragSource::Karaoke, way->dx, way->dy);
    }
    group_.PointerOverText();
}

LRESULT TextWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        drag_.Press(Handle(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        drag_.Release(Handle());
        return 0;
    case WM_CAPTURECHANGED:
        drag_.End();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick();
        return 0;
    case WM_WINDOWPOSCHANGED:
        // Shown or hidden, the window may have dropped its image: the next draw hands all of it over.
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
            renderer_.ForgetShownImage();
        }
        break;
    case WM_MOUSEACTIVATE:
    case WM_PAINT:
        return win::LayeredDisplayMessage(Handle(), message);
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

} // namespace plumwick
