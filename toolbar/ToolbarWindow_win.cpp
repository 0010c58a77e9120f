#include "toolbar/ToolbarWindow_win.h"

#include "app/App_win.h"
#include "command/SettingsStore_win.h"
#include "display/ColorSchemes.h"
#include "display/MainTextWindow_win.h"
#include "display/SkinPanel_win.h"

namespace plumwick {

ToolbarWindow::ToolbarWindow(App& app) : app_(app) {}
ToolbarWindow::~ToolbarWindow() = default;

bool ToolbarWindow::Load() {
    win::WindowClass cls{L"PlumwickToolbar"};
    app_.Panel();
    return Create(cls, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, L"FrmSet", 0, 0, 392, 36,
                  nullptr);
}

void ToolbarWindow::SetColor(std::int16_t scheme) {
    ApplyScheme(app_.State(), scheme);
    SaveSet();
    app_.Main().RefreshText();
}

void ToolbarWindow::SaveSet() { app_.Settings().SaveSet(); }
void ToolbarWindow::RefreshSkin() {}
void ToolbarWindow::StopRotation() {}
void ToolbarWindow::StartRotation(unsigned) {}
bool ToolbarWindow::RotationEnabled() const { return false; }
HWND ToolbarWindow::PictureHandle() const { return nullptr; }
void ToolbarWindow::Close() {}

LRESULT ToolbarWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

} // namespace plumwick
