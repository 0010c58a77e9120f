#include "hotkey/UnlockHotkey.h"

namespace plumwick {

namespace {

std::u16string Decimal(int value) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value > 0);
    return digits;
}

// A prefix followed by a number. Built by appending: GCC 12 warns wrongly about "literal" + string here.
std::u16string Numbered(std::u16string_view prefix, int value) {
    std::u16string name(prefix);
    name += Decimal(value);
    return name;
}

std::u16string KeyName(std::int32_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        return std::u16string(1, static_cast<char16_t>(key));
    }
    constexpr std::int32_t kF1 = 0x70;
    constexpr std::int32_t kF24 = 0x87;
    if (key >= kF1 && key <= kF24) {
        return Numbered(u"F", key - kF1 + 1);
    }
    if (key >= 0x60 && key <= 0x69) {
        return Numbered(u"Num", key - 0x60);
    }
    switch (key) {
    case 0x20:
        return u"Space";
    case 0x21:
        return u"PageUp";
    case 0x22:
        return u"PageDown";
    case 0x23:
        return u"End";
    case 0x24:
        return u"Home";
    case 0x2D:
        return u"Insert";
    case 0x2E:
        return u"Delete";
    default:
        return Numbered(u"#", key);
    }
}

} // namespace

UnlockHotkeyChoice ChooseUnlockHotkey(std::u16string_view configured) {
    std::optional<HotkeySpec> parsed;
    if (configured.find(u',') != std::u16string_view::npos) {
        parsed = ParseHotkeySpec(configured);
    }
    if (parsed && parsed->modifiers != 0 && parsed->key >= 1 && parsed->key <= 254) {
        return {std::u16string(configured), *parsed, false};
    }
    // An empty value means the shop made no choice.
    return {std::u16string(kDefaultUnlockHotkey), *ParseHotkeySpec(kDefaultUnlockHotkey),
            !configured.empty()};
}

std::u16string HotkeyDisplayName(const HotkeySpec& keys) {
    std::u16string name;
    // The window system's mask bits: Alt 1, Control 2, Shift 4.
    if (keys.modifiers & 2) {
        name += u"Ctrl+";
    }
    if (keys.modifiers & 1) {
        name += u"Alt+";
    }
    if (keys.modifiers & 4) {
        name += u"Shift+";
    }
    return name + KeyName(keys.key);
}

std::u16string RefusedHotkeyNotice(std::u16string_view configured, const HotkeySpec& standing) {
    std::u16string standingName = HotkeyDisplayName(standing);
    std::u16string quoted(configured);
    return u"shop.ini 中的解锁热键“" + quoted + u"”无法使用，仍用 " + standingName +
           u"。格式：修饰键,键码，例如 Ctrl+Alt,87。\r\n" + u"The unlock hotkey \"" + quoted +
           u"\" in shop.ini cannot be used; " + standingName +
           u" stays. Write a modifier name, a comma and a key code, such as Ctrl+Alt,87.";
}

std::u16string TakenHotkeyNotice(const HotkeySpec& keys, std::u16string_view reason) {
    std::u16string name = HotkeyDisplayName(keys);
    std::u16string text = u"解锁热键 " + name + u" 已被其他程序占用，锁定的显示屏只能用 ULK 命令解锁。" +
                          u"可在 shop.ini 的 UnlockHotkey 中换一个热键。\r\n" + u"The unlock hotkey " + name +
                          u" belongs to another program: a locked display can only be unlocked with the ULK "
                          u"command. Choose another one as UnlockHotkey in shop.ini.";
    if (!reason.empty()) {
        text += u"\r\n(" + std::u16string(reason) + u")";
    }
    return text;
}

} // namespace plumwick
