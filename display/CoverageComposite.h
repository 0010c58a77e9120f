#pragma once
// Fills of the text outline from a kept coverage mask: a pass that fills the outline moved by whole pixels
// is the outline's coverage moved by the same pixels, blended in the pass's colour. The outline is
// rasterised once and every such pass is composited from it.
#include <cstdint>
#include <vector>

namespace plumwick {

// How much of each pixel a filled shape covers (255: all of it), over the rectangle left, top, width x
// height of the image's pixel grid (it may reach beyond the image).
struct CoverageMask {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha; // width * height, row by row

    bool empty() const { return width <= 0 || height <= 0; }
};

// What a pass fills with: a vertical gradient from color1 (0xAARRGGBB) at row 0 to color2 at row `period`,
// mirrored every period rows from the image's top; one colour when the two are equal.
struct MirroredGradient {
    std::uint32_t color1 = 0;
    std::uint32_t color2 = 0;
    float period = 0;
};

// The gradient's colour at image row y (sampled at the row's centre line, as the pixel grid's integer
// coordinates are): the channels are mixed linearly in the gradient's position, rounded to whole levels.
std::uint32_t GradientColorAt(const MirroredGradient& fill, int y);

// Blends the fill through `mask` moved by (dx, dy) onto an image of premultiplied 0xAARRGGBB pixels,
// width x height, row by row (source over). The fill's colours stay where they are: only the mask moves.
// What falls outside the image is dropped.
void CompositeFill(std::uint32_t* pixels, int width, int height, const CoverageMask& mask,
                   const MirroredGradient& fill, int dx, int dy);

} // namespace plumwick
