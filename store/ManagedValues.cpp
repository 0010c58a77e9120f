#include "store/ManagedValues.h"

#include <array>

namespace plumwick {

namespace {

// 0: a message per line break; 1: messages parted by a blank line.
constexpr std::array<unsigned, 2> kSplitChoices{0, 1};

// Ranges are those the program already takes from its other sources: the interval field takes 0..60
// seconds, the font size 8..200 (whole points here: a DWORD), the colour schemes are 1..5.
constexpr std::array<ManagedValue, 14> kValues{{
    {u"ContentFolder", ManagedKind::Text, 0, 0, {}, u""},
    {u"Interval", ManagedKind::Number, 0, 60, {}, u""},
    {u"Publication", ManagedKind::Text, 0, 0, {}, u""},
    {u"Split", ManagedKind::Choice, 0, 0, kSplitChoices, u"0"},
    {u"UnlockHotkey", ManagedKind::Text, 0, 0, {}, u"Ctrl+Alt,87"},
    {u"Monitor", ManagedKind::Text, 0, 0, {}, u"primary"},
    {u"LockAtStart", ManagedKind::Flag, 0, 1, {}, u"0"},
    {u"FontName", ManagedKind::Text, 0, 0, {}, u"Microsoft YaHei"},
    {u"FontSize", ManagedKind::Number, 8, 200, {}, u"36"},
    {u"ColorScheme", ManagedKind::Number, 1, 5, {}, u"1"},
    {u"ShopName", ManagedKind::Text, 0, 0, {}, u""},
    {u"WebAddress", ManagedKind::Text, 0, 0, {}, u""},
    {u"HomePage", ManagedKind::Text, 0, 0, {}, u""},
    {u"StatusFolder", ManagedKind::Text, 0, 0, {}, u""},
}};

} // namespace

std::span<const ManagedValue> ManagedValues() {
    return kValues;
}

const ManagedValue* FindManagedValue(std::u16string_view name) {
    for (const ManagedValue& value : kValues) {
        if (value.name == name) {
            return &value;
        }
    }
    return nullptr;
}

} // namespace plumwick
