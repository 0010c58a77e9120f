#pragma once
// Form1: the content manager, one check box per .txt file under Text\, and the publish of the ticked ones.
#include "win32/Window_win.h"

namespace plumwick {

class App;

class ContentWindow : public win::Window {
  public:
    explicit ContentWindow(App& app);
    ~ContentWindow() override;

    // Loads (scans the content folder, reads the interval) and shows the window.
    bool Load();
    // Shown if hidden, hidden if shown (the toolbar's content-manager button).
    void ToggleVisible();

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    App& app_;
};

} // namespace plumwick
