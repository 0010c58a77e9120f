#pragma once
// Registers the global hotkey on the toolbar window and hooks that window's procedure, so the
// hotkey unlocks both display windows.
#include "hotkey/HotkeyModule.h"
#include "win32/Result_win.h"
#include "win32/Windows_win.h"

#include <functional>
#include <string>
#include <string_view>

namespace plumwick {

// The program's one hotkey module. The hook finds it through a property of the hooked window, since the
// window's user data belongs to the window's own object.
class HotkeyHook : private HotkeyTarget {
  public:
    // `unlock` is what the hotkey does: exactly what "ULK" does.
    explicit HotkeyHook(std::function<void()> unlock);
    ~HotkeyHook() override;
    HotkeyHook(const HotkeyHook&) = delete;
    HotkeyHook& operator=(const HotkeyHook&) = delete;

    // The window the hotkey is registered on and whose procedure is hooked (the toolbar).
    void SetWindow(HWND window) { window_ = window; }
    // action "Add" registers spec (e.g. "Ctrl+Alt,87") under id; "Del" removes id and unhooks. A spec whose
    // key is no number, or another action, changes nothing. A refused registration is reported in the
    // result, its reason in RegisterError.
    HotkeyResult SetHotKey(int id, std::u16string_view spec, std::u16string_view action);
    // The call and the system's reason of the last refused registration.
    const win::Result& RegisterError() const { return registerError_; }

  private:
    static LRESULT CALLBACK HotKeyWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::uintptr_t Hook() override;
    void Unhook(std::uintptr_t previous) override;
    bool Register(std::int32_t id, std::uint32_t modifiers, std::int32_t key) override;
    void Unregister(std::int32_t id) override;

    std::function<void()> unlock_;
    HWND window_ = nullptr;
    HotkeyState state_;
    HWND hookedWindow_ = nullptr; // the toolbar window while its procedure is ours
    win::Result registerError_;
};

} // namespace plumwick
