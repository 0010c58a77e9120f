#pragma once
// The hotkey that unlocks a locked display: the shop's own choice when it names a usable combination,
// the built-in Ctrl+Alt+W otherwise, and the operator's texts about either going wrong.
#include "hotkey/HotkeySpec.h"

#include <string>
#include <string_view>

namespace plumwick {

inline constexpr std::u16string_view kDefaultUnlockHotkey = u"Ctrl+Alt,87";

struct UnlockHotkeyChoice {
    std::u16string spec; // what is registered: the configured text, or the default when it was refused
    HotkeySpec keys;
    bool refused = false; // the configured text was refused and the default stands
};

// The configured specification is taken when it has a modifier name from the table, a comma, and a key
// that is a number from 1 to 254 (a virtual-key code). Without a modifier the hotkey would swallow a key
// the shop types every day, so a mask of 0 is refused like a key that is no number or a text without a
// comma. An empty text is no choice: the default, not refused.
UnlockHotkeyChoice ChooseUnlockHotkey(std::u16string_view configured);

// The combination as people write it: "Ctrl+Alt+W", "Shift+Alt+F1", "Ctrl+#186" for keys without a
// printable name.
std::u16string HotkeyDisplayName(const HotkeySpec& keys);

// What the notice says when the configured text was refused, and when another program owns the
// combination (`reason`: the call and the system's error text).
std::u16string RefusedHotkeyNotice(std::u16string_view configured, const HotkeySpec& standing);
std::u16string TakenHotkeyNotice(const HotkeySpec& keys, std::u16string_view reason);

} // namespace plumwick
