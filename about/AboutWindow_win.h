#pragma once
// frmAbout: the splash that fades in, holds, fades out and unloads itself; a click opens the home page.
#include "win32/Window_win.h"

namespace plumwick {

class App;

class AboutWindow : public win::Window {
public:
    explicit AboutWindow(App& app);
    ~AboutWindow() override;

    // Creates, shows (fully transparent) and starts the fade-in.
    bool Load();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    App& app_;
};

} // namespace plumwick
