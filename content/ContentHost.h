#pragma once
// What the content manager's publish acts on: the message list and its rotation, and the main line.
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
    virtual void StopRotation() = 0;
    // InfoLines replaced as a whole.
    virtual void ReplaceMessages(std::vector<std::u16string> lines) = 0;
    // Running with the interval and the first message shown at once (a publication).
    virtual void StartRotation(unsigned intervalMs) = 0;
    // Running with the interval, the next message one interval from now (a publication restored at start).
    virtual void ResumeRotation(unsigned intervalMs) = 0;
    // The rows the display's line takes on the screen with its panel and toolbar, which the content manager
    // keeps clear of; nothing while there is no display.
    virtual std::optional<ScreenRows> DisplayRows() const = 0;
    // Whether a top-level window is one of the display's (text windows, skin panel, toolbar), which the
    // active content manager lies above.
    virtual bool PartOfDisplay(HWND window) const = 0;
    // "画文字 ": the text as the main line, and the karaoke sweep started.
    virtual void DrawBuffer(const std::u16string& text) = 0;
};

} // namespace plumwick
