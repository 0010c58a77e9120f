#pragma once
// Hotkey specifications such as "Ctrl+Alt,87": a modifier name, a comma, a decimal virtual-key code.
#include <cstdint>
#include <optional>
#include <string_view>

namespace plumwick {

// The window system's modifier bits.
inline constexpr std::uint32_t kModAlt = 1;
inline constexpr std::uint32_t kModControl = 2;
inline constexpr std::uint32_t kModShift = 4;

struct HotkeySpec {
    std::uint32_t modifiers = 0; // the window system's mask: Alt 1, Control 2, Shift 4
    std::int32_t key = 0;        // virtual-key code
};

// The mask for one of the seven names, compared exactly ("Ctrl", "Alt", "Shift", "Ctrl+Alt",
// "Ctrl+Shift", "Ctrl+Alt+Shift", "Shift+Alt"); 0 for anything else, other orders and cases included.
std::uint32_t ModifierMask(std::u16string_view name);

// With a comma: the name before the first comma, the key after it as a whole number (nothing when it is
// no number or out of range). Without a comma: no modifier and the leading number of the text, 0 when
// there is none.
std::optional<HotkeySpec> ParseHotkeySpec(std::u16string_view spec);

} // namespace plumwick
