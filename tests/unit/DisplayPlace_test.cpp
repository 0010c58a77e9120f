#include "display/DisplayPlace.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

// The windows' sizes as the program has them: panel 127 px high, toolbar 36 px.
DisplayWindows Sizes() {
    DisplayWindows w;
    w.show = {0, 0, 20490, 9690};
    w.krc = w.show;
    w.back = {0, 0, 20490, 1905};
    w.set = {0, 0, 5880, 540};
    w.screenWidthTwips = 20490;
    return w;
}

} // namespace

TEST(DisplayPlace, StoredTopSurvivesItsTextForm) {
    for (int top : {0, 82, -40, 1500}) {
        EXPECT_EQ(DecodeDisplayTop(EncodeDisplayTop(top)), top);
    }
    for (std::u16string_view bad : {u"", u"abc", u"12.5", u"1e9", u"-200000"}) {
        EXPECT_EQ(DecodeDisplayTop(bad), std::nullopt);
    }
    EXPECT_EQ(DecodeDisplayTop(u" 300 "), 300);
}

TEST(DisplayPlace, ReachCoversThePanelTheToolbarAndTheLine) {
    // Size 36: the panel's top is 455 twips (30.3 px) above the main top, the toolbar 18 px more.
    DisplayReach reach = ReachAroundMainTop(Sizes(), 36.0f);
    EXPECT_EQ(reach.abovePx, 49);
    EXPECT_EQ(reach.belowPx, 97); // the panel's 127 px less the 30.3 above
    // A size of 200 draws a line far taller than the panel, and the panel then starts below the top.
    DisplayReach big = ReachAroundMainTop(Sizes(), 200.0f);
    EXPECT_EQ(big.belowPx, 256);
    EXPECT_LT(big.abovePx, 18);
}

TEST(DisplayPlace, RestoredTopKeepsTheDisplayInsideTheWorkArea) {
    DisplayReach reach{49, 97};
    EXPECT_EQ(ClampMainTopPx(300, 0, 728, reach), 300);   // inside: unchanged
    EXPECT_EQ(ClampMainTopPx(900, 0, 728, reach), 631);   // dragged down on a taller screen
    EXPECT_EQ(ClampMainTopPx(10, 0, 728, reach), 49);     // the toolbar would leave the top
    EXPECT_EQ(ClampMainTopPx(-5000, 40, 768, reach), 89); // taskbar at the top
    EXPECT_EQ(ClampMainTopPx(300, 0, 100, reach), 49);    // no room at all: the top stays reachable
}
