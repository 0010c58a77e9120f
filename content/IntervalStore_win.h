#pragma once
// The message interval in the per-user application settings: HKEY_CURRENT_USER\Software\VB and VBA Program
// Settings\plumwick\InfoDir, value "time1", a decimal string of whole seconds.
#include <string>

namespace plumwick::win {

class IntervalStore {
  public:
    // The stored text, or an empty string when nothing (or no string) is stored.
    static std::u16string Read();
    // Stores the text as REG_SZ; false when the key cannot be created or written.
    static bool Write(const std::u16string& value);
};

} // namespace plumwick::win
