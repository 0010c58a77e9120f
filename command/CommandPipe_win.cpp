#include "command/CommandPipe_win.h"

#include "app/App_win.h"
#include "display/MainTextWindow_win.h"
#include "toolbar/RotationControl.h"
#include "toolbar/ToolbarWindow_win.h"

namespace plumwick {

DisplayStatus WindowStatus::Status() {
    DisplayStatus status;
    status.version = PLUMWICK_VERSION;
    status.processId = GetCurrentProcessId();
    status.mainLine = state_.currentText;
    status.karaokeLine = state_.karaokeText;
    HWND main = mainWindow_ ? mainWindow_() : nullptr;
    // Locked is what the window is: LOK, ULK and the hotkey all end in its extended style.
    status.locked = main && (GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    if (const RotationControl* rotation = rotation_ ? rotation_() : nullptr) {
        status.rotating = rotation->Enabled();
        status.held = rotation->Held();
        status.intervalSeconds = rotation->IntervalMs() / 1000u;
    }
    status.scheme = state_.colorScheme;
    status.fontName = state_.fontName;
    status.fontSize = state_.fontSize;
    return status;
}

CommandPipe::CommandPipe(CommandTarget& target, std::unique_ptr<StatusSource> status)
    : status_(std::move(status)), server_(target, *status_) {}

std::unique_ptr<CommandPipe> CommandPipe::Start(App& app, CommandTarget& target) {
    auto status = std::make_unique<WindowStatus>(
        app.State(), [&app] { return app.HasMain() ? app.Main().Handle() : nullptr; },
        [&app]() -> const RotationControl* {
            ToolbarWindow* toolbar = app.ToolbarIfCreated();
            return toolbar ? &toolbar->Rotation() : nullptr;
        });
    auto pipe = std::make_unique<CommandPipe>(target, std::move(status));
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session) || !pipe->server_.Start(session)) {
        return nullptr;
    }
    return pipe;
}

} // namespace plumwick
