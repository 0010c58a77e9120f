#include "hotkey/HotkeyModule.h"

#include "hotkey/HotkeySpec.h"

namespace plumwick {

HotkeyResult SetHotKey(HotkeyState& state, HotkeyTarget& target, std::int32_t id, std::u16string_view spec,
                       std::u16string_view action) {
    std::optional<HotkeySpec> parsed = ParseHotkeySpec(spec);
    if (!parsed) {
        return HotkeyResult::BadSpec;
    }
    bool add = action == u"Add";
    bool del = action == u"Del";
    // Hooking for any other action without setting `hooked` would let the next "Add" save the hook itself
    // as the previous procedure, and every message would then loop forever.
    if (!add && !del) {
        return HotkeyResult::UnknownAction;
    }

    state.hotKeyId = 0;
    state.hotKeyModifiers = 0;
    state.hotKeyCode = 0;
    if (!state.hooked) {
        state.oldWndProc = target.Hook();
    }
    state.hotKeyId = id;
    if (add) {
        state.hotKeyModifiers = static_cast<std::int32_t>(parsed->modifiers);
        state.hotKeyCode = parsed->key;
        bool registered = target.Register(state.hotKeyId, parsed->modifiers, state.hotKeyCode);
        state.hooked = true;
        return registered ? HotkeyResult::Done : HotkeyResult::NotRegistered;
    } else {
        target.Unhook(state.oldWndProc);
        target.Unregister(state.hotKeyId);
        state.hooked = false;
    }
    return HotkeyResult::Done;
}

} // namespace plumwick
