#pragma once
// What the main text window and the karaoke window share: a frameless, topmost, per-pixel-alpha window
// drawing one line through its own renderer, dragged with any mouse button together with its companions.
#include "display/DisplayGroup_win.h"
#include "display/DragTracker_win.h"
#include "display/LayeredTextRenderer_win.h"
#include "display/Look.h"
#include "win32/Window_win.h"

#include <string>

namespace plumwick {

class TextWindow : public win::Window, public LookObserver {
  public:
    // Ends a drag in progress (the skin panel's hover watch, when the pointer has left the display).
    void MouseDownClear() { drag_.Forget(); }
    // Forgets the drawn image; the window keeps showing what it last received.
    void ClearSurface() { renderer_.Clear(); }
    // Shown without activation, owned by `owner` (an owned window stays above its owner).
    void ShowOwnedBy(HWND owner);
    // Moves and sizes the window in screen pixels (the display laid out on its monitor); true when its
    // size changed, so what it shows must be drawn again.
    bool PlaceAt(const RECT& rect);

  protected:
    enum class Role { Main, Karaoke };
    TextWindow(Role role, const Look& look, DisplayGroup& group, LayeredTextRenderer::Mode mode)
        : look_(look), group_(group), drag_(group), role_(role) {
        renderer_.SetMode(mode);
        renderer_.SetFontMissingHandler([this](const std::u16string& chosen, const std::u16string& face) {
            group_.FontMissing(chosen, face);
        });
    }

    // Creates the hidden window, as wide as the screen and heightTwips high, standing on the taskbar.
    bool CreateTextWindow(const wchar_t* className, const wchar_t* title, int heightTwips);
    // Back to the start-up place, at the window's present DPI (after creation and on a DPI change).
    void PlaceOnTaskbar();
    // The line's design sizes (em size, pass offsets, layout band) in the pixels the window is drawn at.
    LineStyle Scaled(LineStyle style) const;
    // The GDI+ start-up failure: the program's own message, then the window unloads itself.
    bool CheckRendererStarted();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void OnDoubleClick() {}

    const Look& look_;
    DisplayGroup& group_;
    LayeredTextRenderer renderer_;

  private:
    void OnMouseMove(int x, int y);
    DragTracker drag_;
    Role role_;
    int heightTwips_ = 0;
};

} // namespace plumwick
