#include "hotkey/HotkeySpec.h"

#include "common/Numeric.h"

#include <array>
#include <limits>
#include <utility>

namespace plumwick {

std::uint32_t ModifierMask(std::u16string_view name) {
    static constexpr std::array<std::pair<std::u16string_view, std::uint32_t>, 7> kMasks{{
        {u"Ctrl", kModControl},
        {u"Alt", kModAlt},
        {u"Shift", kModShift},
        {u"Ctrl+Alt", kModControl | kModAlt},
        {u"Ctrl+Shift", kModControl | kModShift},
        {u"Ctrl+Alt+Shift", kModControl | kModAlt | kModShift},
        {u"Shift+Alt", kModShift | kModAlt},
    }};
    for (const auto& [known, mask] : kMasks) {
        if (name == known) {
            return mask;
        }
    }
    return 0;
}

std::optional<HotkeySpec> ParseHotkeySpec(std::u16string_view spec) {
    std::size_t comma = spec.find(u',');
    if (comma != std::u16string_view::npos) {
        auto key = ParseInt32(spec.substr(comma + 1));
        if (!key) {
            return std::nullopt;
        }
        return HotkeySpec{ModifierMask(spec.substr(0, comma)), *key};
    }
    double key = RoundHalfEven(LeadingNumber(spec));
    if (key < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        key > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return HotkeySpec{0, static_cast<std::int32_t>(key)};
}

} // namespace plumwick
