#include "display/RenderPasses.h"

#include "common/Numeric.h"
#include "common/Twips.h"
#include "display/ColorSchemes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace plumwick {

namespace {

constexpr Argb kOutlineColor = 0x90000000;

RenderPass Shadow(int offset, Argb color, int wrapMode) {
    return RenderPass{offset, color, color, wrapMode, false, 0, 0.0f, 0};
}

} // namespace

std::vector<RenderPass> MainWindowPasses(Argb mainColor1, Argb mainColor2) {
    // Copies shifted down-right by 1 and 2 pixels (the three at 2 add up) and up-left by 1 and 2.
    return {
        Shadow(1, 0x90000000, kWrapTileFlipY),
        Shadow(2, 0x30000000, kWrapTileFlipXY),
        Shadow(2, 0x20000000, kWrapTileFlipXY),
        Shadow(2, 0x10000000, kWrapTileFlipXY),
        Shadow(-1, 0x40000000, kWrapTileFlipXY),
        Shadow(-2, 0x30000000, kWrapTileFlipXY),
        RenderPass{0, mainColor1, mainColor2, kWrapTileFlipXY, true, kOutlineColor, 1.0f, kUnitDocument},
    };
}

RenderPass KaraokePass(std::int16_t scheme) {
    return RenderPass{0, KaraokeColor(scheme, 1), KaraokeColor(scheme, 2), kWrapTileFlipXY, false, 0, 0.0f,
                      0};
}

int LayoutWidthPixels(int screenWidthTwips) {
    return static_cast<int>(RoundHalfEven(static_cast<double>(screenWidthTwips) / kTwipsPerPixel));
}

std::size_t VisibleTextLimit(int layoutWidthPx, int heightPx, float fontSize) {
    // Laid-out lines are at least an em high and a character (blanks included) takes at least an eighth
    // of an em, so no more than this can reach into the bitmap; the rest is below its bottom row. Text
    // made of zero-width characters or long runs of blanks hanging at a line break could in theory show
    // past the limit; a line of that kind is not a message anyone sends.
    constexpr std::size_t kMinimumLimit = 256;
    double em = std::isfinite(fontSize) ? std::max(static_cast<double>(fontSize), 1.0) : 1.0;
    double width = std::max(layoutWidthPx, 0);
    double height = std::max(heightPx, 0);
    // Two extra lines for the pass offsets and a line cut by the top or bottom edge, one extra character
    // for a glyph cut by the band's edge.
    double lines = std::ceil(height / em) + 2.0;
    double perLine = std::ceil(width / (em / 8.0)) + 1.0;
    double limit = lines * perLine;
    if (limit >= static_cast<double>(std::numeric_limits<std::size_t>::max())) {
        return std::numeric_limits<std::size_t>::max();
    }
    return std::max(kMinimumLimit, static_cast<std::size_t>(limit));
}

std::u16string_view VisibleTextPrefix(std::u16string_view text, int layoutWidthPx, int heightPx,
                                      float fontSize) {
    std::size_t limit = VisibleTextLimit(layoutWidthPx, heightPx, fontSize);
    if (text.size() <= limit) {
        return text;
    }
    // A lone high surrogate at the end would be drawn as a replacement glyph.
    if (text[limit - 1] >= 0xD800 && text[limit - 1] <= 0xDBFF) {
        --limit;
    }
    return text.substr(0, limit);
}

} // namespace plumwick
