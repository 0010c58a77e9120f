#pragma once
// The start-up step that registers the unlock hotkey.
#include "notice/Notice.h"

#include <string_view>

namespace plumwick {

class HotkeyHook;

// Registers the unlock hotkey `configured` in shop.ini (the default when that is refused) under the
// identifier the hook unlocks with, and tells the operator when the choice was refused or another
// program owns the combination. Never waits.
void RegisterUnlockHotkey(HotkeyHook& hook, std::u16string_view configured, Notifier& notices);

} // namespace plumwick
