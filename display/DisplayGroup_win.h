#pragma once
// What a window of the display asks of the display as a whole: the four windows that move together
// (main text, karaoke, skin panel, toolbar), the hover and the stacking. The start-up code implements it
// over the real windows, so no display window needs to know the others.
#include "win32/Windows_win.h"

#include <optional>
#include <string>
#include <vector>

namespace plumwick {

enum class DragSource { Main, Karaoke, Panel };

class DisplayGroup {
  public:
    virtual ~DisplayGroup() = default;
    // A drag of a display window starts (mouse-down) and ends (mouse-up or lost capture); a drag that
    // moved the display is remembered for the next start.
    virtual void DragStarted() = 0;
    virtual void DragEnded() = 0;
    // One mouse-move of a drag that started on `source`; dx and dy are the pointer's way in pixels.
    virtual void Drag(DragSource source, float dx, float dy) = 0;
    // The pointer is over a text window: the panel and the toolbar come up.
    virtual void PointerOverText() = 0;
    // The pointer has left the display: the toolbar goes, drags end, the karaoke window lines up again.
    virtual void PointerLeft() = 0;
    // Whether a window (as WindowFromPoint finds it, children included) is part of the display.
    virtual bool PartOfDisplay(HWND window) const = 0;
    virtual void AlignKaraokeOverMain() = 0;
    // A display window's DPI changed (to `dpi`, which its monitor now has): the whole display is laid out
    // again on its monitor.
    virtual void PlaceAgain(unsigned dpi) = 0;
    // The windows that belong above the skin panel, lowest first: main, karaoke, toolbar (those that exist).
    virtual std::vector<HWND> WindowsAbovePanel() const = 0;
    // The message the rotation is at (what a double click on the main line copies); nothing when its
    // index lies outside the list, as after a publication of a shorter one.
    virtual std::optional<std::u16string> CurrentMessage() const = 0;
    // The chosen font is not installed: `face` draws the line instead.
    virtual void FontMissing(const std::u16string& chosen, const std::u16string& face) = 0;
};

} // namespace plumwick
