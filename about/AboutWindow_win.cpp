#include "about/AboutWindow_win.h"

#include "win32/Handles_win.h"
#include "win32/Layered_win.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <utility>

namespace plumwick {

namespace {

RECT CloseSpotRect() {
    // The spot IsInCloseSpot tests, found by scanning its edges once.
    RECT rc{kAboutWidth, kAboutHeight, 0, 0};
    for (int y = 0; y < kAboutHeight; ++y) {
        for (int x = 0; x < kAboutWidth; ++x) {
            if (IsInCloseSpot(x, y)) {
                rc.left = std::min<LONG>(rc.left, x);
                rc.top = std::min<LONG>(rc.top, y);
                rc.right = std::max<LONG>(rc.right, x + 1);
                rc.bottom = std::max<LONG>(rc.bottom, y + 1);
            }
        }
    }
    return rc;
}

} // namespace

AboutWindow::AboutWindow(std::wstring homePage, std::function<void(AboutWindow*)> closed)
    : homePage_(std::move(homePage)), closed_(std::move(closed)) {}
AboutWindow::~AboutWindow() {
    StopTimers();
}

bool AboutWindow::Load() {
    LoadPicture();
    win::WindowClass cls{L"PlumwickAbout"};
    // The picture's design size at the screen's DPI, centred.
    const DpiScale scale = win::PrimaryScale();
    int width = scale.Pixels(kAboutWidth);
    int height = scale.Pixels(kAboutHeight);
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (!Create(cls, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, L"frmAbout", x, y, width,
                height, nullptr)) {
        return false;
    }
    CreateCloseTip();
    // Fully transparent before it is first shown; the fade-in timer runs from here.
    Apply(fade_.Load());
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    return true;
}

void AboutWindow::LoadPicture() {
    HINSTANCE instance = win::ModuleInstance();
    HRSRC resource = FindResourceW(instance, L"ABOUT_PNG", MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = resource ? SizeofResource(instance, resource) : 0;
    if (!bytes || size == 0) {
        return;
    }
    win::ComPtr<IStream> stream(SHCreateMemStream(static_cast<const BYTE*>(bytes), size));
    if (!stream) {
        return;
    }
    win::GdiplusSession gdiplus;
    if (!gdiplus.ok()) {
        return;
    }
    // The bitmap may read the stream until it goes, and must go before the session ends.
    Gdiplus::Bitmap image(stream.get());
    HBITMAP bitmap = nullptr;
    if (image.GetLastStatus() == Gdiplus::Ok &&
        image.GetHBITMAP(Gdiplus::Color(255, 0, 0, 0), &bitmap) == Gdiplus::Ok) {
        picture_.reset(bitmap);
    }
}

void AboutWindow::CreateCloseTip() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    // Owned by this window, so it goes with it. ALWAYSTIP: this window is never the active one.
    HWND tip =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, Handle(), nullptr, win::ModuleInstance(), nullptr);
    if (!tip) {
        return;
    }
    win::GuardControl(tip);
    closeTip_ = tip;
    static wchar_t text[] = L"关闭";
    TTTOOLINFOW tool{};
    // The older size is understood by every version of the common controls.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = 1;
    RECT spot = CloseSpotRect();
    tool.rect = RECT{Scale().Pixels(spot.left), Scale().Pixels(spot.top), Scale().Pixels(spot.right),
                     Scale().Pixels(spot.bottom)};
    tool.hinst = win::ModuleInstance();
    tool.lpszText = text;
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void AboutWindow::SetWindowAlpha(HWND window, int alpha) {
    if (!window || alpha < 0 || alpha > 255) {
        return;
    }
    LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    SetWindowLongPtrW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void AboutWindow::Apply(const FadeSequence::Effects& effects) {
    if (effects.alpha) {
        SetWindowAlpha(Handle(), *effects.alpha);
    }
    SyncTimer(kFadeInTimer, kFadeInIntervalMs, fade_.FadeInEnabled());
    SyncTimer(kHoldTimer, kHoldIntervalMs, fade_.HoldEnabled());
    SyncTimer(kFadeOutTimer, kFadeOutIntervalMs, fade_.FadeOutEnabled());
    if (effects.topmost) {
        topmost_ = *effects.topmost;
        win::MakeTopmost(Handle(), topmost_);
    }
    if (effects.openHomePage) {
        OpenHomePage();
    }
    if (effects.unload) {
        Unload();
    }
}

void AboutWindow::SyncTimer(Timer id, unsigned intervalMs, bool enabled) {
    // Enabling a running timer leaves its count alone, as switching a timer on twice does.
    if (enabled == running_[id] || !Handle()) {
        return;
    }
    if (enabled) {
        running_[id] = SetTimer(Handle(), id, intervalMs, nullptr) != 0;
    } else {
        KillTimer(Handle(), id);
        running_[id] = false;
    }
}

void AboutWindow::StopTimers() {
    for (Timer id : {kFadeInTimer, kHoldTimer, kFadeOutTimer}) {
        SyncTimer(id, 0, false);
    }
}

void AboutWindow::Unload() {
    // A fade-out can end while a nested message loop (the shell opening the home page) still has this
    // window's handler on the stack; the second request finds the window gone.
    if (!Handle()) {
        return;
    }
    StopTimers();
    // The tip subclasses this window; it goes first, so nothing calls into it during the destruction.
    win::UniqueWindow(std::exchange(closeTip_, nullptr)).reset();
    Destroy();
    // Last: the owner frees this object once the current message has been handled.
    if (closed_) {
        closed_(this);
    }
}

void AboutWindow::OpenHomePage() {
    ShellExecuteW(nullptr, L"open", homePage_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void AboutWindow::OnTimer(UINT_PTR id) {
    switch (id) {
    case kFadeInTimer:
        // Start-up shows the display windows, also topmost, after this window: come back on top of them.
        if (topmost_) {
            win::MakeTopmost(Handle(), true);
        }
        Apply(fade_.FadeInTick());
        break;
    case kHoldTimer:
        Apply(fade_.HoldTick());
        break;
    case kFadeOutTimer:
        Apply(fade_.FadeOutTick());
        break;
    default:
        break;
    }
}

void AboutWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    if (!dc) {
        return;
    }
    bool drawn = false;
    if (picture_) {
        win::UniqueDc memory(CreateCompatibleDC(dc));
        if (memory) {
            win::SelectGuard select(memory.get(), picture_.get());
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            drawn = StretchBlt(dc, 0, 0, Scale().Pixels(kAboutWidth), Scale().Pixels(kAboutHeight),
                               memory.get(), 0, 0, kAboutWidth, kAboutHeight, SRCCOPY) != FALSE;
        }
    }
    if (!drawn) {
        // Without its picture the window still shows where it is and can be clicked away.
        win::UniqueBrush brush(CreateSolidBrush(RGB(0x1d, 0x3f, 0x6e)));
        FillRect(dc, &ps.rcPaint, brush.get());
    }
    EndPaint(Handle(), &ps);
}

// A click is a press and release over the same part: the close spot or the rest of the picture.
void AboutWindow::OnButtonDown(int x, int y) {
    pressed_ = IsInCloseSpot(x, y) ? Press::CloseSpot : Press::Picture;
    SetCapture(Handle());
}

void AboutWindow::OnButtonUp(int x, int y) {
    Press pressed = pressed_;
    pressed_ = Press::None;
    if (GetCapture() == Handle()) {
        ReleaseCapture();
    }
    bool inside = x >= 0 && y >= 0 && x < kAboutWidth && y < kAboutHeight;
    if (pressed == Press::None || !inside) {
        return;
    }
    Press released = IsInCloseSpot(x, y) ? Press::CloseSpot : Press::Picture;
    if (released != pressed) {
        return;
    }
    Apply(pressed == Press::CloseSpot ? fade_.CloseSpotClick() : fade_.PictureClick());
}

LRESULT AboutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    // The picture and its close spot are laid out in design pixels.
    case WM_LBUTTONDOWN:
        OnButtonDown(Scale().ToDesign(GET_X_LPARAM(lParam)), Scale().ToDesign(GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(Scale().ToDesign(GET_X_LPARAM(lParam)), Scale().ToDesign(GET_Y_LPARAM(lParam)));
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = Press::None;
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

} // namespace plumwick
