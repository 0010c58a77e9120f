#include "display/SkinPanel_win.h"

#include "app/App_win.h"
#include "display/MainTextWindow_win.h"

namespace plumwick {

SkinPanel::SkinPanel(App& app) : app_(app) {}
SkinPanel::~SkinPanel() = default;

bool SkinPanel::Load() {
    win::WindowClass cls{L"PlumwickSkinPanel"};
    if (!Create(cls, WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, L"FrmBack", 0, 0,
                GetSystemMetrics(SM_CXSCREEN), 127, nullptr)) {
        return false;
    }
    app_.Main().ShowOwnedBy(Handle());
    return true;
}

LRESULT SkinPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

} // namespace plumwick
