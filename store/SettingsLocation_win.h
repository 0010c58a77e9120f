#pragma once
// The file-system side of choosing where the settings live.
#include "win32/Windows_win.h"

#include <string>

namespace plumwick::win {

// Whether the settings file at `path` can be replaced the way it is saved: a new file made beside it,
// then moved over it. Nothing is left behind and an existing file is not changed.
bool CanReplaceFile(const std::wstring& path);

// %APPDATA%\plumwick\desktoplrc.pst; empty when the system names no per-user application data folder.
std::wstring PerUserSettingsPath();

// Makes the folder that holds `path` (one level), for the first save of a per-user copy.
void MakeFolderOf(const std::wstring& path);

} // namespace plumwick::win
