#pragma once

#include "win32/Windows_win.h"

#include <shlobj.h>
#include <string>

namespace plumwick::win {

// A folder the system names (FOLDERID_LocalAppData, ...), without a trailing separator; empty when the
// system names none for this account.
std::wstring KnownFolder(REFKNOWNFOLDERID id);

} // namespace plumwick::win
