// Hotkey specifications come from shop.ini, which operators edit by hand; the parser takes any text. The
// input is tried as UTF-16 units (byte pairs, little-endian) and as UTF-8.
#include "common/Numeric.h"
#include "common/TextUtil.h"
#include "fuzz/FuzzSupport.h"
#include "hotkey/HotkeySpec.h"
#include "hotkey/UnlockHotkey.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace plumwick;

constexpr std::u16string_view kModifierNames[] = {
    u"Ctrl", u"Alt", u"Shift", u"Ctrl+Alt", u"Ctrl+Shift", u"Ctrl+Alt+Shift", u"Shift+Alt"};

bool IsModifierName(std::u16string_view name) {
    for (std::u16string_view known : kModifierNames) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

// shop.ini's choice: whatever the text, what gets registered has a modifier and a real key code, and a
// choice that is taken is registered exactly as parsed.
void CheckUnlockChoice(std::u16string_view configured) {
    const UnlockHotkeyChoice choice = ChooseUnlockHotkey(configured);
    FUZZ_CHECK(choice.keys.modifiers >= 1 && choice.keys.modifiers <= 7);
    FUZZ_CHECK(choice.keys.key >= 1 && choice.keys.key <= 254);
    const std::optional<HotkeySpec> registered = ParseHotkeySpec(choice.spec);
    FUZZ_CHECK(registered && registered->modifiers == choice.keys.modifiers &&
               registered->key == choice.keys.key);
    FUZZ_CHECK(choice.refused == (choice.spec != configured && !configured.empty()));
    FUZZ_CHECK(!HotkeyDisplayName(choice.keys).empty());
}

void CheckSpec(std::u16string_view spec) {
    CheckUnlockChoice(spec);
    const std::optional<HotkeySpec> parsed = ParseHotkeySpec(spec);
    const std::size_t comma = spec.find(u',');
    if (comma == std::u16string_view::npos) {
        // A key code alone: the leading number, so only a value beyond 32 bits is refused.
        const double key = RoundHalfEven(LeadingNumber(spec));
        FUZZ_CHECK(std::isfinite(key));
        FUZZ_CHECK(parsed.has_value() == (key >= -2147483648.0 && key <= 2147483647.0));
        if (parsed) {
            FUZZ_CHECK(parsed->modifiers == 0);
            FUZZ_CHECK(static_cast<double>(parsed->key) == key);
        }
        return;
    }

    const std::u16string_view name = spec.substr(0, comma);
    const std::uint32_t mask = ModifierMask(name);
    FUZZ_CHECK(mask <= 7);
    FUZZ_CHECK((mask != 0) == IsModifierName(name));
    FUZZ_CHECK(parsed.has_value() == ParseInt32(spec.substr(comma + 1)).has_value());
    if (!parsed) {
        return;
    }
    FUZZ_CHECK(parsed->modifiers == mask);

    // What was understood, written out again, is understood the same way.
    std::u16string canonical(name);
    canonical += u',';
    for (char c : std::to_string(parsed->key)) {
        canonical.push_back(static_cast<char16_t>(c));
    }
    const std::optional<HotkeySpec> again = ParseHotkeySpec(canonical);
    FUZZ_CHECK(again && again->modifiers == parsed->modifiers && again->key == parsed->key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string units = fuzz::Utf16Units(data, size);
    CheckSpec(units);
    CheckSpec(Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size)));
    return 0;
}
