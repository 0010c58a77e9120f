#pragma once
// ModKotKey: registers the global hotkey on the toolbar window and hooks that window's procedure, so the
// hotkey unlocks both display windows.
#include "hotkey/HotkeyModule.h"
#include "win32/Windows_win.h"

#include <string>
#include <string_view>

namespace plumwick {

class App;

// The program's one hotkey module (App::Hotkey()). The hook finds it through a property of the toolbar
// window, since the window's user data belongs to the toolbar object.
class HotkeyHook : private HotkeyTarget {
  public:
    explicit HotkeyHook(App& app);
    ~HotkeyHook() override;
    HotkeyHook(const HotkeyHook&) = delete;
    HotkeyHook& operator=(const HotkeyHook&) = delete;

    // action "Add" registers spec (e.g. "Ctrl+Alt,87") under id; "Del" removes id and unhooks. A spec whose
    // key is no number, or another action, changes nothing. A refused registration is logged with the
    // system's reason and reported in the result.
    HotkeyResult SetHotKey(int id, std::u16string_view spec, std::u16string_view action);
    bool Hooked() const { return state_.hooked; }
    // The call and the system's reason of the last refused registration.
    const std::wstring& RegisterError() const { return registerError_; }
    const HotkeyState& State() const { return state_; }

  private:
    static LRESULT CALLBACK HotKeyWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void UnlockDisplay();

    std::uintptr_t Hook() override;
    void Unhook(std::uintptr_t previous) override;
    bool Register(std::int32_t id, std::uint32_t modifiers, std::int32_t key) override;
    void Unregister(std::int32_t id) override;

    App& app_;
    HotkeyState state_;
    HWND hookedWindow_ = nullptr; // the toolbar window while its procedure is ours
    std::wstring registerError_;
};

} // namespace plumwick
