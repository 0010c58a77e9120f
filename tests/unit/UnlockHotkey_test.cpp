#include "hotkey/UnlockHotkey.h"

#include "common/TextUtil.h"

#include <gtest/gtest.h>

using namespace plumwick;

TEST(UnlockHotkey, TakesAUsableConfiguredCombination) {
    struct Case {
        std::u16string_view configured;
        std::uint32_t modifiers;
        std::int32_t key;
    };
    for (Case c : {Case{u"Ctrl+Alt,87", 3, 87}, Case{u"Ctrl+Shift,76", 6, 76},
                   Case{u"Shift+Alt, 112 ", 5, 112}, Case{u"Alt,1", 1, 1}, Case{u"Ctrl,254", 2, 254}}) {
        UnlockHotkeyChoice choice = ChooseUnlockHotkey(c.configured);
        EXPECT_FALSE(choice.refused) << Utf16ToUtf8(c.configured);
        EXPECT_EQ(choice.spec, c.configured);
        EXPECT_EQ(choice.keys.modifiers, c.modifiers) << Utf16ToUtf8(c.configured);
        EXPECT_EQ(choice.keys.key, c.key) << Utf16ToUtf8(c.configured);
    }
}

TEST(UnlockHotkey, RefusesWhatCannotBeAHotkeyAndKeepsTheDefault) {
    for (std::u16string_view bad : {
             u"87",             // no comma: no modifier, every W typed would unlock
             u",87",            // empty modifier name
             u"Alt+Ctrl,87",    // a name outside the table gives mask 0
             u"ctrl+alt,87",    // names are case-sensitive
             u"Ctrl+Alt,W",     // the key is no number
             u"Ctrl+Alt,",      // no key
             u"Ctrl+Alt,0",     // no such key
             u"Ctrl+Alt,255",   // past the virtual-key codes
             u"Ctrl+Alt,-87",   // nor a negative one
             u"Ctrl+Alt,87,88", // the key part is no number
             u"Ctrl+Alt",       // no comma, no key
         }) {
        UnlockHotkeyChoice choice = ChooseUnlockHotkey(bad);
        EXPECT_TRUE(choice.refused) << Utf16ToUtf8(bad);
        EXPECT_EQ(choice.spec, kDefaultUnlockHotkey) << Utf16ToUtf8(bad);
        EXPECT_EQ(choice.keys.modifiers, 3u);
        EXPECT_EQ(choice.keys.key, 87);
    }
    // Nothing configured is no mistake of the shop's.
    EXPECT_FALSE(ChooseUnlockHotkey(u"").refused);
    EXPECT_EQ(ChooseUnlockHotkey(u"").spec, kDefaultUnlockHotkey);
}

TEST(UnlockHotkey, NamesTheCombinationAsPeopleWriteIt) {
    EXPECT_EQ(HotkeyDisplayName({3, 87}), u"Ctrl+Alt+W");
    EXPECT_EQ(HotkeyDisplayName({5, 112}), u"Alt+Shift+F1");
    EXPECT_EQ(HotkeyDisplayName({7, 0x87}), u"Ctrl+Alt+Shift+F24");
    EXPECT_EQ(HotkeyDisplayName({2, '0'}), u"Ctrl+0");
    EXPECT_EQ(HotkeyDisplayName({4, 0x65}), u"Shift+Num5");
    EXPECT_EQ(HotkeyDisplayName({1, 186}), u"Alt+#186");
}

TEST(UnlockHotkey, NoticesNameTheConfiguredTextAndTheCombination) {
    std::u16string refused = RefusedHotkeyNotice(u"Ctrl+Alt,W", {3, 87});
    EXPECT_NE(refused.find(u"“Ctrl+Alt,W”"), std::u16string::npos);
    EXPECT_NE(refused.find(u"仍用 Ctrl+Alt+W"), std::u16string::npos);

    std::u16string taken = TakenHotkeyNotice({6, 76}, u"RegisterHotKey failed: in use");
    EXPECT_NE(taken.find(u"Ctrl+Shift+L 已被其他程序占用"), std::u16string::npos);
    EXPECT_NE(taken.find(u"(RegisterHotKey failed: in use)"), std::u16string::npos);
    EXPECT_EQ(TakenHotkeyNotice({3, 87}, u"").find(u"("), std::u16string::npos);
}
