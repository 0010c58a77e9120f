#pragma once
// A hidden top-level window that hears what happens to the PC while nobody looks: the taskbar moving,
// changing or restarting, the screen changing, sleep and resume, lock and unlock, and the end of the
// Windows session. Only top-level windows get these broadcasts; the handlers run on the window thread.
#include "win32/Window_win.h"

#include <functional>

namespace plumwick {

struct SystemEventHandlers {
    // The work area, the taskbar or the monitors may have changed: place the display again if they did.
    std::function<void()> desktopChanged;
    // Back from sleep, unlocked, or the console back from a remote session.
    std::function<void()> resumed;
    // The session ends: keep what the program remembers, quickly and without a box.
    std::function<void()> sessionEnding;
    // Asked to close (an installer's Restart Manager), or the session has ended: end cleanly.
    std::function<void()> closeRequested;
};

class SystemEvents : public win::Window {
  public:
    explicit SystemEvents(SystemEventHandlers handlers) : handlers_(std::move(handlers)) {}
    ~SystemEvents() override;
    bool Create();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Call(const std::function<void()>& handler);
    SystemEventHandlers handlers_;
    UINT taskbarCreated_ = 0;
    bool sessionNotifications_ = false;
};

} // namespace plumwick
