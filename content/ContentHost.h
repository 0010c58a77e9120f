#pragma once
// What the content manager's publish acts on besides the rotation: the display's place and its main line.
#include "win32/Windows_win.h"

#include <optional>
#include <string>
#include <vector>

namespace plumwick {

// Screen rows, in pixels: top inclusive, bottom exclusive.
struct ScreenRows {
    int top = 0;
    int bottom = 0;
};

class ContentHost {
  public:
    virtual ~ContentHost() = default;
    // The rows the display's line takes on the screen with its panel and toolbar, which the content manager
    // keeps clear of; nothing while there is no display.
    virtual std::optional<ScreenRows> DisplayRows() const = 0;
    // Whether a top-level window is one of the display's (text windows, skin panel, toolbar), which the
    // active content manager lies above.
    virtual bool PartOfDisplay(HWND window) const = 0;
    // "画文字 " draws the content buffer as the main line and starts the karaoke sweep.
    virtual void DrawMainLine(const std::u16string& line) = 0;
    virtual void StartKaraokeTimer() = 0;
};

} // namespace plumwick
