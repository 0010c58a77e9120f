#pragma once
// Where the program's log lives and what reaches it from the Win32 layer.
#include <string>

namespace plumwick::win {

// %LOCALAPPDATA%\plumwick\log: local to this PC even where the profile roams or its folders are
// redirected to a share, so a line never waits on the network. Empty when the system names no such folder.
std::wstring LogFolder();

// Opens the process's log there, with local-time lines, and writes every Win32 failure the program
// makes into it. A folder that cannot be written leaves the log empty; the program runs on.
void OpenProgramLog();

} // namespace plumwick::win
