#pragma once
// The content an installed program brings, copied where the operator can edit it.
#include "win32/Result_win.h"

#include <string>

namespace plumwick::win {

// When `to` does not exist yet: makes it (with the folders above it) and copies the tree below `from` into
// it, never replacing a file that is there. An existing `to` is left as it is: the operator's since the
// first time. Both end in '\'. The first failure is returned; the copy goes on past it.
Result SeedContentFolder(const std::wstring& from, const std::wstring& to);

} // namespace plumwick::win
