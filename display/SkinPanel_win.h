#pragma once
// FrmBack: the skin strip behind the text, shown while the pointer is over the display. It owns the main
// text window, watches the pointer every 100 ms and trims the working set every 5 s.
#include "win32/Layered_win.h"
#include "win32/Window_win.h"

#include <optional>

namespace plumwick {

class App;

class SkinPanel : public win::Window {
  public:
    explicit SkinPanel(App& app);
    ~SkinPanel() override;

    // The creation steps: GDI+ start, show the main window owned by the panel, draw the skin, place.
    bool Load();

    static constexpr int kDesignWidthTwips = 21600; // 1440 px; replaced by the screen width
    static constexpr int kHeightTwips = 1905;       // 127 px

  private:
    enum Timer : UINT_PTR { kHoverTimer = 1, kTrimTimer = 2 };
    static constexpr UINT kHoverIntervalMs = 100;
    static constexpr UINT kTrimIntervalMs = 5000;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMouseDown(int y);
    void OnMouseUp();
    void OnMouseMove(int y);
    void OnTimer(UINT_PTR id);
    void OnHoverWatch();
    void OnTrimWorkingSet();
    void OnWindowPosChanged(const WINDOWPOS& pos);
    void OnDestroy();

    // Composes left, middle and right cap into the panel's image, once, for the screen width of now.
    void DrawSkin();
    // One of the five windows that keep the panel up while the pointer is over them.
    bool IsDisplayWindow(HWND window);
    void AlignKaraokeOverMain();
    // The main window, the karaoke window and the toolbar above the panel, as ownership means it to be.
    void StackBelowText();

    App& app_;
    std::optional<win::GdiplusSession> gdiplus_;
    win::LayeredSurface surface_;
    bool restacking_ = false;
    bool dragging_ = false;
    std::optional<int> mainTopAtDragStart_;
    float dragStartY_ = 0;
};

} // namespace plumwick
