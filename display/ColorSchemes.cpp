#include "display/ColorSchemes.h"

#include "common/Numeric.h"

#include <array>
#include <cmath>

namespace plumwick {

namespace {

struct SchemeRow {
    Argb main1, main2, karaoke1, karaoke2;
};

// Schemes 1..5: blue, green, red, white, yellow.
constexpr std::array<SchemeRow, 5> kSchemes{{
    {0xFF013C8F, 0xFF0198D4, 0xFFBCF9FC, 0xFF67F0FC},
    {0xFF87F321, 0xFF0E6700, 0xFFDCFEAE, 0xFFE4FE04},
    {0xFFFECEFC, 0xFFE144CD, 0xFFFEFE65, 0xFFFEA10F},
    {0xFFFBFBFA, 0xFFCBCBCB, 0xFF62DDFF, 0xFF229CFE},
    {0xFFFE7A00, 0xFFFF0000, 0xFFFFFF6E, 0xFFFEA10F},
}};

constexpr Argb kFallbackKaraoke1 = 0xFFBA0000;
constexpr Argb kFallbackKaraoke2 = 0xFFFF9301;

const SchemeRow* RowFor(int scheme) {
    if (scheme < 1 || scheme > static_cast<int>(kSchemes.size())) {
        return nullptr;
    }
    return &kSchemes[static_cast<std::size_t>(scheme - 1)];
}

} // namespace

std::optional<MainColors> MainColorsFor(int scheme) {
    const SchemeRow* row = RowFor(scheme);
    if (row == nullptr) {
        return std::nullopt;
    }
    return MainColors{row->main1, row->main2};
}

Argb KaraokeColor(std::int16_t scheme, std::int16_t which) {
    const SchemeRow* row = RowFor(scheme);
    if (which == 1) {
        return row != nullptr ? row->karaoke1 : kFallbackKaraoke1;
    }
    return row != nullptr ? row->karaoke2 : kFallbackKaraoke2;
}

std::u16string SchemeColor(std::int16_t scheme, std::int16_t which) {
    auto value = static_cast<std::int32_t>(KaraokeColor(scheme, which));
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

Argb ArgbFromSchemeText(std::u16string_view text) {
    std::optional<double> number = ParseNumber(text);
    if (!number || *number != std::floor(*number) || *number < -2147483648.0 || *number > 4294967295.0) {
        return 0;
    }
    if (*number < 0) {
        return static_cast<Argb>(static_cast<std::int32_t>(*number));
    }
    return static_cast<Argb>(*number);
}

} // namespace plumwick
