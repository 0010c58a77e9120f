#pragma once
// Base of every window: registers its class once, keeps the object pointer in GWLP_USERDATA from
// WM_NCCREATE and dispatches messages to the object. Positions in twips are design twips (15 to a
// 96-DPI pixel), turned into the pixels of the DPI the window is shown at by TwipsToPixels and back by
// PixelsToTwips: the one place where twips and a window's pixels meet.
#include "common/DpiScale.h"
#include "win32/Result_win.h"
#include "win32/Windows_win.h"

#include <cstdint>
#include <string>

namespace plumwick::win {

struct WindowClass {
    const wchar_t* name;
    UINT style = 0;
    HBRUSH background = nullptr;
    HCURSOR cursor = nullptr; // arrow when null
    HICON icon = nullptr;
};

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr; }

    // How the last Create went: the failed call and the system's text, or success.
    const Result& Creation() const { return creation_; }

    bool IsVisible() const;
    void Show(bool visible = true); // without activating
    void Hide() { Show(false); }
    void Destroy();

    // The DPI the window is drawn at (its monitor's), from its creation and each WM_DPICHANGED.
    const DpiScale& Scale() const { return scale_; }
    // Design twips to this window's device pixels (its own monitor's DPI), and back.
    int TwipsToPixels(double twips) const { return scale_.TwipsToPixels(twips); }
    int PixelsToTwips(int devicePixels) const { return scale_.PixelsToTwips(devicePixels); }

    // Window rectangle in screen twips (whole device pixels in design twips).
    int LeftTwips() const;
    int TopTwips() const;
    int WidthTwips() const;
    int HeightTwips() const;
    // Moves and sizes in twips; each value is turned into whole pixels as a window holds them.
    void MoveTwips(double left, double top);
    void SetBoundsTwips(double left, double top, double width, double height);
    int ClientWidthPx() const;
    int ClientHeightPx() const;

  protected:
    bool Create(const WindowClass& cls, DWORD exStyle, DWORD style, const wchar_t* title, int x, int y,
                int width, int height, HWND parent, HMENU menu = nullptr);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    // WM_DPICHANGED, with Scale() already at the new DPI: by default the window takes the rectangle the
    // system suggests; windows that lay themselves out do that again instead.
    virtual void OnDpiChanged(const RECT& suggested);

  private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    DpiScale scale_;
    Result creation_;
};

// Runs one step of a window procedure. Whatever the step throws (running out of memory included) ends
// that step, never the process: no message another program can send may take the display down.
template <typename Step> LRESULT Guarded(Step&& step, LRESULT failed = 0) noexcept {
    try {
        return step();
    } catch (...) {
        return failed;
    }
}

HINSTANCE ModuleInstance();
// On the window thread, once: messages posted to its windows that only the system sends (creation, end,
// a DPI change's rectangle) are dropped before any loop, the program's or a modal box's, dispatches them.
bool GuardPostedMessages();
// A system control of the program whose own messages (WM_USER and above, a tooltip's TTM_*) carry
// pointers, which the system does not carry across processes: from another thread, posted or sent, they
// are dropped. On the window thread, right after the control is made.
bool GuardControl(HWND control);
// The scale of the primary monitor, where windows are made before they know their own.
DpiScale PrimaryScale();
// The screen in design twips at a window's scale.
int ScreenWidthTwips(const DpiScale& scale);
// The window whose controls Tab and the arrow keys move between, as in any dialog (none: nullptr).
void SetDialogWindow(const Window* window);
// One message as every loop of the program handles it: the dialog window's keys go to the dialog, the
// rest is translated and dispatched.
void HandleLoopMessage(MSG& msg);
// Lets the events waiting now run (handlers that let the user act before they return), at most
// `limit` of them, so something that keeps posting cannot hold the caller forever; each is handled as the
// main loop handles it. A quit request is put back for the main loop.
void RunWaitingMessages(int limit = 10000);
// A critical-error message box with one of the program's own fixed texts.
void CriticalMessage(const wchar_t* text, const wchar_t* title);
int ScreenHeightTwips(const DpiScale& scale);
// The work area in pixels (the screen above the taskbar); the whole screen when the system gives none.
RECT WorkArea();
// The strip of the screen below the work area, in twips (0 when the taskbar is elsewhere or hidden).
std::int16_t TaskbarHeightTwips(const DpiScale& scale);

} // namespace plumwick::win
