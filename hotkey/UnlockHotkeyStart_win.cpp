#include "hotkey/UnlockHotkeyStart_win.h"

#include "hotkey/HotkeyHook_win.h"
#include "hotkey/UnlockHotkey.h"
#include "win32/Strings_win.h"

namespace plumwick {

void RegisterUnlockHotkey(HotkeyHook& hook, std::u16string_view configured, Notifier& notices) {
    UnlockHotkeyChoice choice = ChooseUnlockHotkey(configured);
    if (choice.refused) {
        notices.Notify(NoticeCause::HotkeyRefused, RefusedHotkeyNotice(configured, choice.keys));
    }
    if (hook.SetHotKey(kUnlockHotkeyId, choice.spec, u"Add") == HotkeyResult::NotRegistered) {
        notices.Notify(NoticeCause::HotkeyTaken,
                       TakenHotkeyNotice(choice.keys, win::ToU16(hook.RegisterError().Text())));
    }
}

} // namespace plumwick
