#pragma once
// The display's vertical place, remembered per user after a drag and restored at the next start inside
// the work area, whatever screen the program then finds.
#include "common/Monitors.h"
#include "common/PixelRect.h"
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
// A design reach in the device pixels of that DPI, rounded outwards.
DisplayReach ScaledReach(const DisplayReach& design, const DpiScale& scale);

// The main window's top that keeps the whole reach inside the work area rows workTop..workBottom, as close
// to the wanted top as that allows; when the work area is too short for it, the top of the reach goes to
// the work area's top.
int ClampMainTopPx(int wantedTopPx, int workTopPx, int workBottomPx, const DisplayReach& reach);

// The display's windows as designed, in design (96-DPI) pixels.
struct DisplayDesign {
    int mainHeightPx = 646;
    int karaokeHeightPx = 111;
    int panelHeightPx = 127;
    int toolbarWidthPx = 0;
    int toolbarHeightPx = 36;
    float fontSize = 36;
};

// Where the four display windows go on a monitor, in device pixels.
struct DisplayLayout {
    PixelRect main;
    PixelRect karaoke;
    PixelRect panel;
    PixelRect toolbar;
    bool operator==(const DisplayLayout&) const = default;
};

// The display laid out on a monitor at its width and DPI: the main window as wide as the monitor with its
// bottom on the work area's bottom (the taskbar's top, or the monitor's bottom when the taskbar is at
// another edge); a place the operator dragged the main window's top to is kept, brought back inside the
// work area with the panel, toolbar and line. The karaoke window lies at the main window's corner, the panel
// its offset above, the toolbar centred on the monitor across the panel's top edge. A sideways drag's shift
// of the main window from the monitor's left edge is kept as well, at most half the monitor's width either
// way so the middle of the line stays on it; the panel and the toolbar never move sideways.
DisplayLayout LayOutDisplay(const MonitorInfo& monitor, const DisplayDesign& design,
                            std::optional<int> draggedMainTopPx, int draggedMainShiftPx = 0);

// Which monitor the display is on, as the desktop changes: each Update reads the whole monitor list (after
// a work-area, display or taskbar change, or at start) and says whether the display must be placed again
// and what the operator should hear.
class DisplayMonitor {
  public:
    enum class Notice {
        None,
        ChosenMissing, // at start: the chosen monitor does not exist, the primary stands in
        Gone,          // the display's monitor has gone: it is on the primary now
        Returned,      // the chosen monitor is back: the display is on it again
    };
    struct Decision {
        bool place = false; // the monitor, its rectangle, work area or DPI differ from the last placing
        Notice notice = Notice::None;
    };

    explicit DisplayMonitor(MonitorChoice choice) : choice_(choice) {}
    Decision Update(const std::vector<MonitorInfo>& monitors);
    // The monitor of the last Update that found one; nothing before.
    const std::optional<MonitorInfo>& Current() const { return current_; }

  private:
    MonitorChoice choice_;
    std::optional<MonitorInfo> current_;
    bool standingIn_ = false;
};

} // namespace plumwick
