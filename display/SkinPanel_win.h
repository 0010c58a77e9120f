#pragma once
// FrmBack: the skin strip behind the text, shown while the pointer is over the display. It owns the main
// text window, watches the pointer every 100 ms and trims the working set every 5 s.
#include "win32/Window_win.h"

namespace plumwick {

class App;

class SkinPanel : public win::Window {
public:
    explicit SkinPanel(App& app);
    ~SkinPanel() override;

    // The creation steps: GDI+ start, show the main window owned by the panel, draw the skin, place.
    bool Load();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    App& app_;
};

} // namespace plumwick
