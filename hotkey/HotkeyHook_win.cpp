#include "hotkey/HotkeyHook_win.h"

#include "app/App_win.h"

namespace plumwick {

HotkeyHook::HotkeyHook(App& app) : app_(app) {}
HotkeyHook::~HotkeyHook() = default;
void HotkeyHook::SetHotKey(int, std::u16string_view, std::u16string_view) {}
bool HotkeyHook::Hooked() const { return false; }

} // namespace plumwick
