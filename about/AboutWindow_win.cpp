#include "about/AboutWindow_win.h"

#include "app/App_win.h"

namespace plumwick {

AboutWindow::AboutWindow(App& app) : app_(app) {}
AboutWindow::~AboutWindow() = default;
bool AboutWindow::Load() { return true; }
LRESULT AboutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

} // namespace plumwick
