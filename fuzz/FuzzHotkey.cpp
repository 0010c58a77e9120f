// Hotkey specifications are built in today, but the parser takes any text; the input is tried as UTF-16
// units (byte pairs, little-endian) and as UTF-8.
#include "fuzz/FuzzSupport.h"
#include "common/Numeric.h"
#include "common/TextUtil.h"
#include "hotkey/HotkeySpec.h"

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

void CheckSpec(std::u16string_view spec) {
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
