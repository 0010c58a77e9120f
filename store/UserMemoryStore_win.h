#pragma once
// The per-user memory in HKEY_CURRENT_USER\Software\VB and VBA Program Settings\plumwick, each value in
// a section of its own (see StoredValue.h for the values). The one way the program reads and writes a
// stored value: strings only (REG_SZ, REG_EXPAND_SZ read as written), no larger than the key allows.
#include "store/StoredValue.h"
#include "win32/Result_win.h"

#include <string>

namespace plumwick::win {

// The user's registry as a source of values.
class UserRegistry : public ValueSource {
  public:
    ValueOrigin Origin() const override { return ValueOrigin::User; }
    std::optional<std::u16string> Read(const StoreKey& key) const override;
    Result Write(const StoreKey& key, const std::u16string& text) const;
};

// The value from the strongest source that holds it (a policy, the user's memory, the machine-wide value);
// empty when none does.
std::u16string ReadValue(const StoreKey& key);
// Into the user's own memory.
Result WriteValue(const StoreKey& key, const std::u16string& text);

} // namespace plumwick::win
