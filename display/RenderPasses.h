#pragma once
// What the layered text renderer draws: the passes of each text window and the size of the layout.
#include "display/Argb.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace plumwick {

inline constexpr int kWrapTileFlipY = 2;  // GDI+ WrapModeTileFlipY
inline constexpr int kWrapTileFlipXY = 3; // GDI+ WrapModeTileFlipXY
inline constexpr int kUnitDocument = 5;   // GDI+ UnitDocument, 1/300 inch

// One fill of the text outline, shifted by offset pixels right and down, with a vertical gradient from
// color1 (top) to color2 (bottom) that repeats mirrored every em.
struct RenderPass {
    int offset;
    Argb color1;
    Argb color2;
    int wrapMode;
    bool outline; // stroke the outline with the pen below as well
    Argb penColor;
    float penWidth;
    int penUnit;
    bool operator==(const RenderPass&) const = default;
};

// Six passes of soft black shadow, then the face in the main colours with a thin dark outline.
std::vector<RenderPass> MainWindowPasses(Argb mainColor1, Argb mainColor2);

// The karaoke highlight: one pass in the scheme's karaoke colours.
RenderPass KaraokePass(std::int16_t scheme);

// Width in pixels of the band the line is centred in: the screen width in twips over 15, whatever the
// screen's real twips per pixel.
int LayoutWidthPixels(int screenWidthTwips);

// An upper bound on the UTF-16 units of a text that can show in a bitmap heightPx high when it is laid
// out in a band layoutWidthPx wide at this em size. The renderer lays out only that prefix, so that a
// huge command line cannot stall the program in text layout.
std::size_t VisibleTextLimit(int layoutWidthPx, int heightPx, float fontSize);

// The first VisibleTextLimit units of text, not ending inside a surrogate pair.
std::u16string_view VisibleTextPrefix(std::u16string_view text, int layoutWidthPx, int heightPx,
                                      float fontSize);

} // namespace plumwick
