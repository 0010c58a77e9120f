#include "display/TextWindow_win.h"

#include "app/App_win.h"
#include "common/Twips.h"
#include "display/DisplayPlaceStore_win.h"
#include "display/KaraokeWindow_win.h"
#include "display/MainTextWindow_win.h"
#include "display/SkinPanel_win.h"
#include "toolbar/ToolbarWindow_win.h"

namespace plumwick {

bool TextWindow::CreateTextWindow(const wchar_t* className, const wchar_t* title, int x, int y, int width,
                                  int height) {
    renderer_.SetMode(app_.RenderMode());
    win::WindowClass cls{className};
    cls.style = CS_DBLCLKS;
    return Create(cls, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, title, x, y, width, height,
                  nullptr);
}

bool TextWindow::CheckRendererStarted() {
    if (renderer_.Started()) {
        return true;
    }
    App::CriticalMessage(L"Faild to Load GDI+! Please ReInstall your Application", L"a gdi+ Init Error");
    Destroy();
    return false;
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
    if (dragging_) {
        DisplayWindows windows = app_.ReadDisplayWindows();
        float dx = static_cast<float>(x) - dragStartX_;
        float dy = static_cast<float>(y) - dragStartY_;
        float fontSize = app_.State().fontSize;
        windows = role_ == Role::Main ? DragFromMain(windows, dx, dy, fontSize)
                                      : DragFromKaraoke(windows, dx, dy, fontSize);
        app_.ApplyDisplayWindows(windows);
    }
    app_.Toolbar().Show();
    app_.Panel().Show();
}

void TextWindow::EndDrag() {
    if (dragging_ && app_.HasMain()) {
        win::RememberDisplayTopAfterDrag(app_.Main().Handle(), mainTopAtDragStart_);
    }
    dragging_ = false;
    mainTopAtDragStart_.reset();
}

LRESULT TextWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        dragging_ = true;
        dragStartX_ = static_cast<float>(GET_X_LPARAM(lParam));
        dragStartY_ = static_cast<float>(GET_Y_LPARAM(lParam));
        mainTopAtDragStart_ = win::WindowTopPx(app_.HasMain() ? app_.Main().Handle() : nullptr);
        SetCapture(Handle());
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        EndDrag();
        if (GetCapture() == Handle()) {
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        EndDrag();
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
        return MA_NOACTIVATE; // the display never takes the focus from the shop's programs
    case WM_PAINT: {
        // The image is the one handed to the window system; nothing is painted here.
        PAINTSTRUCT ps;
        BeginPaint(Handle(), &ps);
        EndPaint(Handle(), &ps);
        return 0;
    }
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

} // namespace plumwick
