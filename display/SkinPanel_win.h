#pragma once
// The skin panel: the strip behind the text, shown while the pointer is over the display. It owns the main
// text window, watches the pointer every 100 ms and trims the working set every 5 s.
#include "display/DisplayGroup_win.h"
#include "display/DragTracker_win.h"
#include "display/Look.h"
#include "win32/Layered_win.h"
#include "win32/Window_win.h"

#include <optional>
#include <string>

namespace plumwick {

class SkinPanel : public win::Window {
  public:
    // The skin images are left.png, mid.png and right.png in `skinFolder` (ending in a separator).
    SkinPanel(const Look& look, DisplayGroup& group, std::wstring skinFolder);
    ~SkinPanel() override;

    // The hidden window with its skin drawn, its timers running. False when the window or GDI+ cannot be
    // had (after GDI+'s own message); the display then goes on without its skin.
    bool Create();
    // Below the main line, whose top is given; the windows that belong above it are raised after it.
    void PlaceBelowText(int mainTopTwips);
    // Moves and sizes the panel in screen pixels (the display laid out on its monitor); the skin is
    // composed again for a new width.
    void PlaceAt(const RECT& rect);
    // The main window, the karaoke window and the toolbar above the panel, as ownership means it to be.
    void StackBelowText();

    static constexpr int kDesignWidthTwips = 21600; // 1440 px; replaced by the screen width
    static constexpr int kHeightTwips = 1905;       // 127 px

  private:
    enum Timer : UINT_PTR { kHoverTimer = 1, kTrimTimer = 2 };
    static constexpr UINT kHoverIntervalMs = 100;
    static constexpr UINT kTrimIntervalMs = 5000;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(const RECT& suggested) override;
    void OnMouseMove(int x, int y);
    void OnTimer(UINT_PTR id);
    void OnHoverWatch();
    void OnTrimWorkingSet();
    void OnWindowPosChanged(const WINDOWPOS& pos);
    void OnDestroy();

    // Composes left, middle and right cap into the panel's image, once, for the screen width of now.
    void DrawSkin();
    const Look& look_;
    DisplayGroup& group_;
    std::wstring skinFolder_;
    std::optional<win::GdiplusSession> gdiplus_;
    win::LayeredSurface surface_;
    bool restacking_ = false;
    // Where the display's monitor starts and how wide it is, in pixels; 0 wide: the primary screen's width.
    int monitorLeftPx_ = 0;
    int monitorWidthPx_ = 0;
    DragTracker drag_;
};

} // namespace plumwick
