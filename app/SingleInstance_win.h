#pragma once
// One display per user session. The first start holds a session-wide mutex and a hidden window that
// later starts find; a later start asks that window to bring up the content manager, then ends.
#include "win32/Window_win.h"

#include <functional>

namespace plumwick::win {

// True when this process is the session's display (and stays it until it ends); false when another
// display of this session is running.
bool ClaimSessionDisplay();

// Asks the running display to show its content manager, waiting up to `timeoutMs` for it to have come
// far enough to hear. False when no running display was found.
bool AskRunningDisplayToShowContent(unsigned timeoutMs);

// The running display's side: a hidden window that calls `showContent` when a later start asks.
class InstanceWindow : public Window {
  public:
    explicit InstanceWindow(std::function<void()> showContent) : showContent_(std::move(showContent)) {}
    bool Create();

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::function<void()> showContent_;
};

} // namespace plumwick::win
