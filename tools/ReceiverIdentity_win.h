#pragma once
// Who runs the process on the other end of the pipe or behind the box's window, for plumwick-send's
// check before it hands over a command (command/ReceiverCheck.h decides).
#include "win32/Windows_win.h"

#include <optional>
#include <string>

namespace plumwick {

// Empty when the process `pid` may have a command meant for `targetSession`; else why not (UTF-8),
// beginning with `what` ("the command pipe's server").
std::optional<std::string> ReceiverRefusal(DWORD pid, unsigned long targetSession, const std::string& what);

} // namespace plumwick
