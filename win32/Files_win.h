#pragma once
// Whole-file writes that never leave a half-written file in the target's place.
#include "win32/Result_win.h"

#include <string>
#include <string_view>

namespace plumwick::win {

// Writes `bytes` to `temporary` (beside `path`), then moves it over `path` with MoveFileExW's `moveFlags`
// (MOVEFILE_REPLACE_EXISTING and the like); the temporary file is removed after a failure. nameFiles: the
// failure's call names the file it was made on, for reports that do not name it themselves.
Result ReplaceFileContents(const std::wstring& path, const std::wstring& temporary, std::string_view bytes,
                           DWORD moveFlags, bool nameFiles = false);

} // namespace plumwick::win
