#include "hotkey/HotkeySpec.h"

#include "common/TextUtil.h"

#include <gtest/gtest.h>

using namespace plumwick;

TEST(HotkeySpec, KnowsExactlySevenModifierNames) {
    struct Case {
        std::u16string_view name;
        std::uint32_t mask;
    };
    for (Case c :
         {Case{u"Ctrl", 2}, Case{u"Alt", 1}, Case{u"Shift", 4}, Case{u"Ctrl+Alt", 3}, Case{u"Ctrl+Shift", 6},
          Case{u"Ctrl+Alt+Shift", 7}, Case{u"Shift+Alt", 5}, Case{u"", 0}, Case{u"Alt+Ctrl", 0},
          Case{u"Alt+Shift", 0}, Case{u"ctrl", 0}, Case{u"Ctrl ", 0}, Case{u"Control", 0}}) {
        EXPECT_EQ(ModifierMask(c.name), c.mask) << Utf16ToUtf8(c.name);
    }
}

TEST(HotkeySpec, ParsesSpecifications) {
    struct Case {
        std::u16string_view spec;
        std::uint32_t modifiers;
        std::int32_t key;
    };
    for (Case c : {Case{u"Ctrl+Alt,87", 3, 87}, Case{u"87", 0, 87}, Case{u"Alt+Ctrl,87", 0, 87},
                   Case{u"Shift+Alt,65", 5, 65}, Case{u"ctrl,87", 0, 87}, Case{u"Ctrl, 87 ", 2, 87},
                   Case{u"Ctrl,86.5", 2, 86}, Case{u"Ctrl,87.5", 2, 88}, Case{u"87abc", 0, 87},
                   Case{u"86.5", 0, 86}, Case{u"abc", 0, 0}, Case{u"", 0, 0}, Case{u"Ctrl+Alt", 0, 0}}) {
        auto parsed = ParseHotkeySpec(c.spec);
        ASSERT_TRUE(parsed.has_value()) << Utf16ToUtf8(c.spec);
        EXPECT_EQ(parsed->modifiers, c.modifiers) << Utf16ToUtf8(c.spec);
        EXPECT_EQ(parsed->key, c.key) << Utf16ToUtf8(c.spec);
    }
}

TEST(HotkeySpec, RejectsAKeyThatIsNoWholeNumberInRange) {
    for (std::u16string_view spec :
         {u"Ctrl,x", u"Ctrl,", u",", u"Ctrl,87x", u"Alt,65,66", u"Ctrl,3000000000", u"9e99"}) {
        EXPECT_FALSE(ParseHotkeySpec(spec).has_value()) << Utf16ToUtf8(spec);
    }
}
