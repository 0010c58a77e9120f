#pragma once
// The display's vertical place, remembered per user after a drag and restored at the next start inside
// the work area, whatever screen the program then finds.
#include "common/Twips.h"

#include <optional>
#include <string>
#include <string_view>

namespace plumwick {

// The stored form: the main text window's top in screen pixels, as a decimal string.
std::u16string EncodeDisplayTop(int topPx);
// Nothing for text that is not a whole number of plausible size.
std::optional<int> DecodeDisplayTop(std::u16string_view stored);

// How far the display's visible parts reach above and below the main window's top, in pixels: above,
// the panel and the toolbar straddling its top edge; below, the rest of the panel or the line itself,
// whichever reaches further.
struct DisplayReach {
    int abovePx = 0;
    int belowPx = 0;
};
DisplayReach ReachAroundMainTop(const DisplayWindows& windows, float fontSize);

// The skin panel's and the toolbar's heights as designed, which the reach at start is measured with.
inline constexpr int kPanelDesignHeightTwips = 1905;  // 127 px
inline constexpr int kToolbarDesignHeightTwips = 540; // 36 px
DisplayReach DesignReach(float fontSize);

// The main window's top that keeps the whole reach inside the work area rows workTop..workBottom, as close
// to the wanted top as that allows; when the work area is too short for it, the top of the reach goes to
// the work area's top.
int ClampMainTopPx(int wantedTopPx, int workTopPx, int workBottomPx, const DisplayReach& reach);

} // namespace plumwick
