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

SkinLayout DeviceSkinLayout(const SkinLayout& design, const DpiScale& scale, int panelWidthPx) {
    auto edge = [&scale](double designPx) { return static_cast<double>(scale.Pixels(designPx)); };
    double leftEnd = edge(design.left.x + design.left.width);
    double rightStart = edge(design.right.x);
    SkinLayout device{};
    device.left = {0.0, 0.0, leftEnd, edge(design.left.height)};
    device.middle = {leftEnd, 0.0, design.middle.width > 0 ? std::max(rightStart - leftEnd, 0.0) : 0.0,
                     edge(design.middle.height)};
    double rightEnd =
        design.right.width > 0 ? std::max(static_cast<double>(panelWidthPx), rightStart) : rightStart;
    device.right = {rightStart, 0.0, rightEnd - rightStart, edge(design.right.height)};
    return device;
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
