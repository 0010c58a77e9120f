#pragma once
// Wires the command pipe to the running display: the commands go to the command window's interpreter
// target, the status is read from the display state, the main window and the toolbar's rotation.
#include "command/PipeServer_win.h"

#include <functional>
#include <memory>

namespace plumwick {

class App;
struct DisplayState;
class RotationControl;

// The status as the windows have it now.
class WindowStatus : public StatusSource {
  public:
    WindowStatus(const DisplayState& state, std::function<HWND()> mainWindow,
                 std::function<const RotationControl*()> rotation)
        : state_(state), mainWindow_(std::move(mainWindow)), rotation_(std::move(rotation)) {}
    DisplayStatus Status() override;

  private:
    const DisplayState& state_;
    std::function<HWND()> mainWindow_;
    std::function<const RotationControl*()> rotation_;
};

class CommandPipe {
  public:
    CommandPipe(CommandTarget& target, std::unique_ptr<StatusSource> status);
    // Serves this session's pipe; null when it cannot be served (the box still works). The problem is
    // reported through OutputDebugString with the failing call and the system's error text.
    static std::unique_ptr<CommandPipe> Start(App& app, CommandTarget& target);

  private:
    std::unique_ptr<StatusSource> status_;
    PipeServer server_;
};

} // namespace plumwick
