#pragma once
// One drag of a display window with any mouse button, the same for every window that can be dragged:
// the press captures the pointer and starts the drag, each move tells how far the pointer has gone since
// the press, the release or a lost capture ends it. The display group hears of the start and the end.
#include "display/DisplayGroup_win.h"

#include <optional>

namespace plumwick {

class DragTracker {
  public:
    explicit DragTracker(DisplayGroup& group) : group_(group) {}

    struct Way {
        float dx = 0;
        float dy = 0;
    };

    // A button went down at (x, y) in the window's client pixels.
    void Press(HWND window, int x, int y) {
        dragging_ = true;
        startX_ = static_cast<float>(x);
        startY_ = static_cast<float>(y);
        group_.DragStarted();
        SetCapture(window);
    }
    // The pointer's way from the press; nothing while no drag is on.
    std::optional<Way> Moved(int x, int y) const {
        if (!dragging_) {
            return std::nullopt;
        }
        return Way{static_cast<float>(x) - startX_, static_cast<float>(y) - startY_};
    }
    // The button went up: the drag ends and the window lets the pointer go.
    void Release(HWND window) {
        End();
        if (GetCapture() == window) {
            ReleaseCapture();
        }
    }
    // The window lost the capture: the drag ends.
    void End() {
        if (dragging_) {
            group_.DragEnded();
        }
        dragging_ = false;
    }
    // The pointer has left the display: the drag is dropped without being remembered.
    void Forget() { dragging_ = false; }

  private:
    DisplayGroup& group_;
    bool dragging_ = false;
    float startX_ = 0;
    float startY_ = 0;
};

} // namespace plumwick
