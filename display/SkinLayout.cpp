#include "display/SkinLayout.h"

#include "common/Numeric.h"
#include "common/Twips.h"

#include <algorithm>

namespace plumwick {

SkinLayout ComputeSkinLayout(int leftWidth, int leftHeight, int screenWidthTwips) {
    double wL = leftWidth;
    double hL = leftHeight;
    double midW = static_cast<double>(screenWidthTwips) / kTwipsPerPixel - 2.0 * wL;
    double rightX = RoundHalfEven(wL + midW);
    SkinLayout layout{};
    layout.left = {0.0, 0.0, wL, hL + 2.0};
    // Caps wider than half the screen leave no room for the middle; a negative width would draw it
    // mirrored across the left cap.
    layout.middle = {wL, 0.0, std::max(midW, 0.0), hL};
    layout.right = {rightX, 0.0, wL, hL + 2.0};
    return layout;
}

int PanelTopTwips(int mainTopTwips, int panelHeightTwips, float fontSize) {
    float top = static_cast<float>(mainTopTwips) - PanelAboveMainTwips(panelHeightTwips, fontSize);
    // A font size out of all reason (the settings file is edited by hand) must not overflow the cast.
    if (!(top > -1.0e9f && top < 1.0e9f)) {
        return mainTopTwips;
    }
    return static_cast<int>(RoundHalfEven(top));
}

} // namespace plumwick
