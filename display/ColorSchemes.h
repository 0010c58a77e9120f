#pragma once
// The five colour schemes: the gradient of the main window's text and of the karaoke highlight.
#include "display/Argb.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plumwick {

struct MainColors {
    Argb color1; // top of the gradient
    Argb color2; // bottom
};

// The main window's pair of scheme 1..5; nothing for any other number.
std::optional<MainColors> MainColorsFor(int scheme);

// The karaoke highlight's top colour when which == 1, else its bottom colour. A scheme outside 1..5
// (0 until one is chosen) still highlights, in the fallback red and orange.
Argb KaraokeColor(std::int16_t scheme, std::int16_t which);

// KaraokeColor as the signed decimal text of the 32-bit value (0xFFBCF9FC -> "-4392452"), the form the
// colour travels in between the module and the renderer.
std::u16string SchemeColor(std::int16_t scheme, std::int16_t which);

// Back from that text to the colour. Also accepts the unsigned form; anything else (not a whole number in
// 32 bits) gives 0, fully transparent.
Argb ArgbFromSchemeText(std::u16string_view text);

} // namespace plumwick
