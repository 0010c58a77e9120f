#pragma once
// ModKotKey: registers the global hotkey on the toolbar window and hooks that window's procedure, so the
// hotkey unlocks both display windows.
#include <string_view>

namespace plumwick {

class App;

class HotkeyHook {
public:
    explicit HotkeyHook(App& app);
    ~HotkeyHook();
    HotkeyHook(const HotkeyHook&) = delete;
    HotkeyHook& operator=(const HotkeyHook&) = delete;

    // action "Add" registers spec (e.g. "Ctrl+Alt,87") under id; "Del" removes id and unhooks.
    void SetHotKey(int id, std::u16string_view spec, std::u16string_view action);
    bool Hooked() const;

private:
    App& app_;
};

} // namespace plumwick
