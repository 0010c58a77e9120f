#include "content/ContentWindow_win.h"

#include "app/App_win.h"

namespace plumwick {

ContentWindow::ContentWindow(App& app) : app_(app) {}
ContentWindow::~ContentWindow() = default;
bool ContentWindow::Load() { return true; }
void ContentWindow::ToggleVisible() {}
LRESULT ContentWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

} // namespace plumwick
