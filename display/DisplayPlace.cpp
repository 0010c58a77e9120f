#include "display/DisplayPlace.h"

#include "common/Numeric.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace plumwick {

namespace {
// Far beyond any screen; a value outside was not written by this program.
constexpr int kMaxStoredPx = 100000;
// The line's own height below the window's top: about 1.25 em, and the shadow's 6 pixels.
constexpr float kLineHeightEm = 1.25f;
constexpr int kShadowPx = 6;
} // namespace

std::u16string EncodeDisplayTop(int topPx) {
    std::string digits = std::to_string(topPx);
    return std::u16string(digits.begin(), digits.end());
}

std::optional<int> DecodeDisplayTop(std::u16string_view stored) {
    std::optional<double> value = ParseNumber(stored);
    if (!value || *value != std::floor(*value) || std::abs(*value) > kMaxStoredPx) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

DisplayReach ReachAroundMainTop(const DisplayWindows& w, float fontSize) {
    // The panel's top lies this far above the main window's top; the toolbar's middle is on it.
    float panelOffset = PanelAboveMainTwips(w.back.height, fontSize);
    float aboveTwips = std::max(0.0f, panelOffset + static_cast<float>(w.set.height) / 2.0f);
    float panelBelowTwips = static_cast<float>(w.back.height) - panelOffset;
    float lineBelowTwips = (fontSize * kLineHeightEm + kShadowPx) * kTwipsPerPixel;
    DisplayReach reach;
    // In design pixels: the reach is measured at the design's 96 DPI.
    reach.abovePx = static_cast<int>(std::ceil(static_cast<double>(aboveTwips) / kTwipsPerPixel));
    reach.belowPx = static_cast<int>(
        std::ceil(static_cast<double>(std::max(panelBelowTwips, lineBelowTwips)) / kTwipsPerPixel));
    return reach;
}

DisplayReach DesignReach(float fontSize) {
    DisplayWindows sizes;
    sizes.back.height = kPanelDesignHeightTwips;
    sizes.set.height = kToolbarDesignHeightTwips;
    return ReachAroundMainTop(sizes, fontSize);
}

DisplayReach ScaledReach(const DisplayReach& design, const DpiScale& scale) {
    return DisplayReach{static_cast<int>(std::ceil(design.abovePx * scale.Factor())),
                        static_cast<int>(std::ceil(design.belowPx * scale.Factor()))};
}

int ClampMainTopPx(int wantedTopPx, int workTopPx, int workBottomPx, const DisplayReach& reach) {
    int highest = workTopPx + reach.abovePx;
    int lowest = workBottomPx - reach.belowPx;
    if (lowest < highest) {
        return highest;
    }
    return std::clamp(wantedTopPx, highest, lowest);
}

DisplayLayout LayOutDisplay(const MonitorInfo& monitor, const DisplayDesign& design,
                            std::optional<int> draggedMainTopPx, int draggedMainShiftPx) {
    DpiScale scale(monitor.dpi);
    const PixelRect& screen = monitor.rect;
    const PixelRect& work = monitor.work.Empty() ? monitor.rect : monitor.work;
    DisplayLayout layout;

    int mainHeight = scale.Pixels(design.mainHeightPx);
    int mainTop = work.bottom - mainHeight;
    if (draggedMainTopPx) {
        DisplayReach reach = ScaledReach(DesignReach(design.fontSize), scale);
        mainTop = ClampMainTopPx(*draggedMainTopPx, work.top, work.bottom, reach);
    }
    int half = screen.Width() / 2;
    int shift = std::clamp(draggedMainShiftPx, -half, half);
    layout.main = {screen.left + shift, mainTop, screen.right + shift, mainTop + mainHeight};
    layout.karaoke = {layout.main.left, mainTop, layout.main.right,
                      mainTop + scale.Pixels(design.karaokeHeightPx)};

    float panelAbove = PanelAboveMainTwips(design.panelHeightPx * kTwipsPerPixel, design.fontSize);
    int panelTop = mainTop - scale.TwipsToPixels(panelAbove);
    layout.panel = {screen.left, panelTop, screen.right, panelTop + scale.Pixels(design.panelHeightPx)};

    int toolbarWidth = scale.Pixels(design.toolbarWidthPx);
    int toolbarHeight = scale.Pixels(design.toolbarHeightPx);
    int toolbarLeft = screen.left + (screen.Width() - toolbarWidth) / 2;
    int toolbarTop = panelTop - toolbarHeight / 2;
    layout.toolbar = {toolbarLeft, toolbarTop, toolbarLeft + toolbarWidth, toolbarTop + toolbarHeight};
    return layout;
}

DisplayMonitor::Decision DisplayMonitor::Update(const std::vector<MonitorInfo>& monitors) {
    Decision decision;
    std::optional<MonitorPick> pick = PickMonitor(monitors, choice_);
    if (!pick) {
        return decision; // no monitor listed (a failed query): leave everything where it is
    }
    const MonitorInfo& monitor = monitors[pick->index];
    bool first = !current_;
    if (pick->missing && (first || !standingIn_)) {
        decision.notice = first ? Notice::ChosenMissing : Notice::Gone;
    } else if (!pick->missing && standingIn_) {
        decision.notice = Notice::Returned;
    }
    decision.place = first || *current_ != monitor;
    current_ = monitor;
    standingIn_ = pick->missing;
    return decision;
}

} // namespace plumwick
