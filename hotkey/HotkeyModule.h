#pragma once
// The hotkey module's state and the order of its steps, apart from the window system: SetHotKey works on a
// HotkeyTarget (the toolbar window), so the hook bookkeeping can be checked without windows.
#include <cstdint>
#include <string_view>

namespace plumwick {

// What SetHotKey does to the window that carries the hotkey.
class HotkeyTarget {
  public:
    virtual ~HotkeyTarget() = default;
    // Replaces the window's procedure by the hook procedure; returns the procedure it had.
    virtual std::uintptr_t Hook() = 0;
    // Puts back a procedure that Hook returned.
    virtual void Unhook(std::uintptr_t previous) = 0;
    // False when the window system refused, mostly because another program owns the combination.
    virtual bool Register(std::int32_t id, std::uint32_t modifiers, std::int32_t key) = 0;
    virtual void Unregister(std::int32_t id) = 0;
};

struct HotkeyState {
    std::uintptr_t oldWndProc = 0; // valid while hooked
    std::int32_t hotKeyId = 0;
    std::int32_t hotKeyModifiers = 0;
    std::int32_t hotKeyCode = 0;
    bool hooked = false; // the procedure is replaced and a hotkey registered
};

enum class HotkeyResult {
    Done,
    BadSpec,       // the key after the comma is no whole number: nothing changed
    UnknownAction, // neither "Add" nor "Del": nothing changed
    NotRegistered, // "Add" hooked the window, but the window system refused the combination
};

// "Add" hooks the window (once) and registers spec under id; the hook stays even when the registration
// is refused, so a later "Del" finds the state it expects. "Del" unhooks and unregisters id. "Del"
// while not hooked hooks and unhooks again, ending where it began.
HotkeyResult SetHotKey(HotkeyState& state, HotkeyTarget& target, std::int32_t id, std::u16string_view spec,
                       std::u16string_view action);

inline constexpr unsigned kHotkeyMessage = 0x312; // WM_HOTKEY; wParam is the identifier
inline constexpr std::int32_t kUnlockHotkeyId = 1;

// The hotkey that unlocks the display: only the identifier the command window registers.
inline bool IsUnlockHotkey(unsigned message, std::uintptr_t wParam) {
    return message == kHotkeyMessage && wParam == static_cast<std::uintptr_t>(kUnlockHotkeyId);
}

} // namespace plumwick
