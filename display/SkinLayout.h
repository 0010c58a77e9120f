#pragma once
// Where the skin panel's three images go: a left cap, a middle piece stretched across the screen and a
// right cap, all sized from the left cap's image.
#include "common/DpiScale.h"

namespace plumwick {

struct SkinPiece {
    double x, y, width, height; // pixels
};

struct SkinLayout {
    SkinPiece left, middle, right;
};

// The caps are drawn leftWidth wide and 2 pixels taller than the left image, the middle exactly as tall.
// A missing left image (0 x 0) leaves nothing visible: zero-width caps and a middle of height 0.
SkinLayout ComputeSkinLayout(int leftWidth, int leftHeight, int screenWidthTwips);

// The layout in the device pixels of a panel drawn at `scale`: every edge on a whole pixel, the middle
// running from the left cap's right edge to the right cap's left edge. Drawn so, no piece ends or starts
// part-way into a pixel, where the two partly covered pixels would let the desktop show through as a
// column (at 150 % the design layout's edges fall between device pixels). The right cap ends on the
// panel's right edge, panelWidthPx.
SkinLayout DeviceSkinLayout(const SkinLayout& design, const DpiScale& scale, int panelWidthPx);

// The panel's top: its centre line sits a third of the panel's spare height (beyond one em) above the
// main window's top. Single precision, rounded to whole twips.
int PanelTopTwips(int mainTopTwips, int panelHeightTwips, float fontSize);

} // namespace plumwick
