#include "win32/Window_win.h"

#include "common/Twips.h"
#include "win32/Dpi_win.h"
#include "win32/Handles_win.h"
#include "win32/Strings_win.h"

#include <commctrl.h>

#include <cmath>
#include <utility>

namespace plumwick::win {

namespace {

// The DPIs a WM_DPICHANGED may bring (50 % to 1000 %).
constexpr UINT kLowestDpi = 48;
constexpr UINT kHighestDpi = 960;

// The window object whose CreateWindowExW runs on this thread, until its WM_NCCREATE takes it.
thread_local Window* t_creating = nullptr;

// Messages the system sends a window on its own thread, whose parameters are pointers or announce the
// window's creation or end. Another process can send or post them too; acting on one would follow its
// pointer or take a live window for a dead one.
bool OnlyTheSystemSends(UINT message) {
    switch (message) {
    case WM_NCCREATE:
    case WM_CREATE:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_DPICHANGED:
        return true;
    default:
        return false;
    }
}

// The end of the session is always sent, with a deadline for the answer; a posted one is another process's
// forgery, which must not end the program or write what it keeps.
bool NeverPosted(UINT message) {
    return message == WM_QUERYENDSESSION || message == WM_ENDSESSION;
}

// Sent by another thread (of any process); posted messages are ISMEX_NOSEND too, and the hook below keeps
// those of OnlyTheSystemSends out.
bool FromAnotherThread() {
    return (InSendMessageEx(nullptr) & ISMEX_SEND) != 0;
}

// Marks a system control of this program whose private messages carry pointers (a tooltip's TTM_*).
constexpr wchar_t kGuardedControl[] = L"PlumwickGuardedControl";

bool IsControlMessage(UINT message) {
    return message >= WM_USER && message < WM_APP;
}

LRESULT CALLBACK GuardedControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR) {
    if ((IsControlMessage(message) || (OnlyTheSystemSends(message) && message != WM_DPICHANGED)) &&
        FromAnotherThread()) {
        return 0; // another process's: the system does not carry these pointers across processes
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &GuardedControlProc, id);
        RemovePropW(hwnd, kGuardedControl);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK PostedMessageGuard(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (OnlyTheSystemSends(msg->message) || NeverPosted(msg->message) ||
            (IsControlMessage(msg->message) && msg->hwnd && GetPropW(msg->hwnd, kGuardedControl))) {
            msg->message = WM_NULL; // the system never posts these: a forgery
            msg->wParam = 0;
            msg->lParam = 0;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

bool GuardControl(HWND control) {
    return control && SetPropW(control, kGuardedControl, reinterpret_cast<HANDLE>(1)) &&
           SetWindowSubclass(control, &GuardedControlProc, 1, 0);
}

bool GuardPostedMessages() {
    static thread_local HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &PostedMessageGuard, nullptr,
                                                       GetCurrentThreadId()); // kept for the thread's life
    return hook != nullptr;
}

HINSTANCE ModuleInstance() {
    return GetModuleHandleW(nullptr);
}

DpiScale PrimaryScale() {
    return DpiScale(DpiForPoint(POINT{0, 0}));
}

int ScreenWidthTwips(const DpiScale& scale) {
    return scale.PixelsToTwips(GetSystemMetrics(SM_CXSCREEN));
}
int ScreenHeightTwips(const DpiScale& scale) {
    return scale.PixelsToTwips(GetSystemMetrics(SM_CYSCREEN));
}

Window::~Window() {
    Destroy();
}

void Window::Destroy() {
    if (hwnd_) {
        // hwnd_ stays set while the window's last messages arrive.
        UniqueWindow(hwnd_).reset();
        // WM_NCDESTROY clears hwnd_; make sure even if the window was destroyed elsewhere.
        hwnd_ = nullptr;
    }
}

bool Window::Create(const WindowClass& cls, DWORD exStyle, DWORD style, const wchar_t* title, int x, int y,
                    int width, int height, HWND parent, HMENU menu) {
    HINSTANCE instance = ModuleInstance();
    creation_ = Result();
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
            creation_ = Result::LastError(L"RegisterClassExW");
            return false;
        }
    }
    // The object comes to the new window through the thread, never through the creation message: any
    // process can send WM_NCCREATE, with whatever lpCreateParams it likes, to a window that exists.
    Window* outer = std::exchange(t_creating, this);
    HWND hwnd = CreateWindowExW(exStyle, cls.name, title, style, x, y, width, height, parent, menu, instance,
                                nullptr);
    t_creating = outer;
    if (!hwnd) {
        creation_ = Result::LastError(L"CreateWindowExW");
    }
    return hwnd != nullptr;
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&] { return Dispatch(hwnd, message, wParam, lParam); });
}

LRESULT Window::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (OnlyTheSystemSends(message) && message != WM_DPICHANGED && FromAnotherThread()) {
        // Another process's forgery: what it says about the window's life is not acted on.
        return message == WM_NCCREATE ? FALSE : 0;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self && message == WM_NCCREATE && t_creating) {
        self = std::exchange(t_creating, nullptr);
        self->hwnd_ = hwnd;
        self->scale_ = DpiScale(DpiForWindow(hwnd));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The object lets go of the window even when its last step fails.
        LRESULT result = Guarded([&] { return self->HandleMessage(message, wParam, lParam); });
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return result;
    }
    if (message == WM_DPICHANGED) {
        // A DPI from another thread's message is one nobody could mean: bounded to what screens have.
        const UINT dpi = LOWORD(wParam);
        if (dpi < kLowestDpi || dpi > kHighestDpi) {
            return 0;
        }
        self->scale_ = DpiScale(dpi);
        // The suggested rectangle is read only from the system's own message (sent on this thread; a
        // posted one never gets here, see GuardPostedMessages). Without it the window keeps its rectangle.
        RECT suggested{};
        if (lParam && !FromAnotherThread()) {
            suggested = *reinterpret_cast<const RECT*>(lParam);
        } else {
            GetWindowRect(hwnd, &suggested);
        }
        self->OnDpiChanged(suggested);
        return 0;
    }
    return self->HandleMessage(message, wParam, lParam);
}

void Window::OnDpiChanged(const RECT& suggested) {
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool Window::IsVisible() const {
    return hwnd_ && IsWindowVisible(hwnd_);
}

void Window::Show(bool visible) {
    // Hiding a hidden window changes nothing, yet costs Wine a trip to its server, and the hover watch
    // asks for it ten times a second. The window's own style bit decides: a child of a hidden parent may
    // still need hiding.
    if (hwnd_ && (visible || (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE))) {
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

int Window::LeftTwips() const {
    return PixelsToTwips(WindowRectOf(hwnd_).left);
}
int Window::TopTwips() const {
    return PixelsToTwips(WindowRectOf(hwnd_).top);
}
int Window::WidthTwips() const {
    RECT rc = WindowRectOf(hwnd_);
    return PixelsToTwips(rc.right - rc.left);
}
int Window::HeightTwips() const {
    RECT rc = WindowRectOf(hwnd_);
    return PixelsToTwips(rc.bottom - rc.top);
}

void Window::MoveTwips(double left, double top) {
    if (hwnd_) {
        SetWindowPos(hwnd_, nullptr, TwipsToPixels(left), TwipsToPixels(top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::SetBoundsTwips(double left, double top, double width, double height) {
    if (hwnd_) {
        SetWindowPos(hwnd_, nullptr, TwipsToPixels(left), TwipsToPixels(top),
                     std::max(0, TwipsToPixels(width)), std::max(0, TwipsToPixels(height)),
                     SWP_NOZORDER | SWP_NOACTIVATE);
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

RECT WorkArea() {
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || work.bottom <= work.top) {
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return work;
}

std::int16_t TaskbarHeightTwips(const DpiScale& scale) {
    RECT work = WorkArea();
    return StripBelowWorkAreaTwips(GetSystemMetrics(SM_CYSCREEN), work.bottom, scale);
}

namespace {
const Window* dialogWindow = nullptr; // the window thread's only; windows live on that one thread
} // namespace

void SetDialogWindow(const Window* window) {
    dialogWindow = window;
}

void HandleLoopMessage(MSG& msg) {
    if (dialogWindow && dialogWindow->Exists() && IsDialogMessageW(dialogWindow->Handle(), &msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void RunWaitingMessages(int limit) {
    MSG msg;
    for (int i = 0; i < limit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        HandleLoopMessage(msg);
    }
}

void CriticalMessage(const wchar_t* text, const wchar_t* title) {
    MessageBoxW(nullptr, text, title, MB_OK | MB_ICONHAND | MB_SYSTEMMODAL);
}

} // namespace plumwick::win
