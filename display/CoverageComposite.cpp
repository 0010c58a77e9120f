#include "display/CoverageComposite.h"

#include <algorithm>
#include <cmath>

namespace plumwick {

namespace {

// a * b / 255, rounded to the nearest integer, for a and b within 0..255.
inline std::uint32_t MulDiv255(std::uint32_t a, std::uint32_t b) {
    std::uint32_t t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

inline std::uint32_t Channel(std::uint32_t argb, int shift) {
    return (argb >> shift) & 0xFF;
}

} // namespace

std::uint32_t GradientColorAt(const MirroredGradient& fill, int y) {
    if (fill.color1 == fill.color2 || !(fill.period > 0)) {
        return fill.color1;
    }
    // Mirrored in rows before dividing, so that rows at equal distances from a turn get equal colours.
    double period = fill.period;
    double row = std::fmod(static_cast<double>(y), 2.0 * period);
    if (row < 0) {
        row += 2.0 * period;
    }
    if (row > period) {
        row = 2.0 * period - row;
    }
    double position = row / period;
    std::uint32_t toward = static_cast<std::uint32_t>(std::lround(position * 255.0));
    std::uint32_t color = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        std::uint32_t mixed = MulDiv255(Channel(fill.color1, shift), 255 - toward) +
                              MulDiv255(Channel(fill.color2, shift), toward);
        color |= std::min<std::uint32_t>(mixed, 255) << shift;
    }
    return color;
}

void CompositeFill(std::uint32_t* pixels, int width, int height, const CoverageMask& mask,
                   const MirroredGradient& fill, int dx, int dy) {
    if (!pixels || mask.empty()) {
        return;
    }
    // The part of the moved mask that lies on the image, in mask coordinates.
    int x0 = std::max(0, -(mask.left + dx));
    int y0 = std::max(0, -(mask.top + dy));
    int x1 = std::min(mask.width, width - (mask.left + dx));
    int y1 = std::min(mask.height, height - (mask.top + dy));
    for (int y = y0; y < y1; ++y) {
        int imageRow = mask.top + dy + y;
        std::uint32_t argb = GradientColorAt(fill, imageRow);
        std::uint32_t alpha = argb >> 24;
        if (alpha == 0) {
            continue;
        }
        const std::uint8_t* cover = mask.alpha.data() + static_cast<std::size_t>(y) * mask.width;
        std::uint32_t* row = pixels + static_cast<std::size_t>(imageRow) * width + (mask.left + dx);
        for (int x = x0; x < x1; ++x) {
            if (cover[x] == 0) {
                continue;
            }
            std::uint32_t sa = MulDiv255(alpha, cover[x]);
            if (sa == 0) {
                continue;
            }
            std::uint32_t keep = 255 - sa;
            std::uint32_t d = row[x];
            std::uint32_t a = sa + MulDiv255(d >> 24, keep);
            std::uint32_t r = MulDiv255(Channel(argb, 16), sa) + MulDiv255(Channel(d, 16), keep);
            std::uint32_t g = MulDiv255(Channel(argb, 8), sa) + MulDiv255(Channel(d, 8), keep);
            std::uint32_t b = MulDiv255(Channel(argb, 0), sa) + MulDiv255(Channel(d, 0), keep);
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
}

} // namespace plumwick
