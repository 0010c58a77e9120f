#include "hotkey/HotkeyHook_win.h"

#include "hotkey/HotkeySpec.h"
#include "win32/Strings_win.h"
#include "win32/Window_win.h"

namespace plumwick {

// The portable hotkey logic mirrors these values of the window system.
static_assert(kHotkeyMessage == WM_HOTKEY);
static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT);

namespace {
constexpr wchar_t kHookProperty[] = L"PlumwickHotkeyHook";
} // namespace

HotkeyHook::HotkeyHook(std::function<void()> unlock) : unlock_(std::move(unlock)) {}

HotkeyHook::~HotkeyHook() {
    // The toolbar may outlive this object; it must not be left calling into freed memory.
    if (state_.hooked && hookedWindow_) {
        UnregisterHotKey(hookedWindow_, state_.hotKeyId);
        Unhook(state_.oldWndProc);
    }
}

HotkeyResult HotkeyHook::SetHotKey(int id, std::u16string_view spec, std::u16string_view action) {
    return plumwick::SetHotKey(state_, *this, id, spec, action);
}

LRESULT CALLBACK HotkeyHook::HotKeyWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto self = static_cast<HotkeyHook*>(GetPropW(window, kHookProperty));
    if (!self || !self->state_.oldWndProc) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto previous = reinterpret_cast<WNDPROC>(self->state_.oldWndProc);
    if (IsUnlockHotkey(message, wParam) && self->unlock_) {
        win::Guarded([&] {
            self->unlock_();
            return LRESULT{0};
        });
    }
    if (message == WM_NCDESTROY) {
        // The window goes, and its hotkeys with it.
        self->Unhook(self->state_.oldWndProc);
        self->state_.hooked = false;
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

std::uintptr_t HotkeyHook::Hook() {
    HWND toolbar = window_;
    if (!toolbar) {
        return 0;
    }
    // The property first: the hook may see a message as soon as it is in place.
    SetPropW(toolbar, kHookProperty, this);
    hookedWindow_ = toolbar;
    LONG_PTR previous = GetWindowLongPtrW(toolbar, GWLP_WNDPROC);
    SetWindowLongPtrW(toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HotKeyWndProc));
    return static_cast<std::uintptr_t>(previous);
}

void HotkeyHook::Unhook(std::uintptr_t previous) {
    if (!hookedWindow_) {
        return;
    }
    if (IsWindow(hookedWindow_) && previous) {
        SetWindowLongPtrW(hookedWindow_, GWLP_WNDPROC, static_cast<LONG_PTR>(previous));
    }
    RemovePropW(hookedWindow_, kHookProperty);
    hookedWindow_ = nullptr;
}

bool HotkeyHook::Register(std::int32_t id, std::uint32_t modifiers, std::int32_t key) {
    if (RegisterHotKey(window_, id, modifiers, static_cast<UINT>(key))) {
        return true;
    }
    registerError_ = win::Result::LastError(L"RegisterHotKey");
    return false;
}

void HotkeyHook::Unregister(std::int32_t id) {
    UnregisterHotKey(window_, id);
}

} // namespace plumwick
