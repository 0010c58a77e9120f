#include "common/Twips.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace plumwick;

TEST(Twips, AtTheBaseDpiTwipsRoundToTheNearestPixelHalvesToEven) {
    const DpiScale base(96);
    struct Case {
        double twips;
        int pixels;
    };
    for (const Case& c : {Case{30, 2}, Case{5, 0}, Case{7.5, 0}, Case{7.6, 1}, Case{22.5, 2}, Case{-8, -1},
                          Case{-5, 0}, Case{28800, 1920}}) {
        EXPECT_EQ(base.TwipsToPixels(c.twips), c.pixels) << c.twips;
    }
    EXPECT_EQ(base.PixelsToTwips(base.TwipsToPixels(1e300)) / kTwipsPerPixel, base.TwipsToPixels(1e300));
}

TEST(Twips, TaskbarStripAtAnotherDpiIsStillInDesignTwips) {
    EXPECT_EQ(StripBelowWorkAreaTwips(1080, 1040, DpiScale(120)), 480);
    EXPECT_EQ(StripBelowWorkAreaTwips(1080, 1080, DpiScale(96)), 0); // taskbar at another edge or hidden
}

TEST(Twips, MainWindowSitsOnTaskbar) {
    EXPECT_EQ(MainWindowTopTwips(16200, 9690, 600), 5910);
    EXPECT_EQ(MainWindowTopTwips(16200, 9690, 0), 6510);
}

namespace {

constexpr float kFontSize = 36.0f; // panel 455 twips above the main window

// Companions scattered anywhere; a move of the main window lines them up.
DisplayWindows Scattered() {
    DisplayWindows w;
    w.screenWidthTwips = 28800;
    w.show = {150, 5910, 28800, 9690};
    w.krc = {3000, 300, 28800, 1665};
    w.back = {600, 15, 28800, 1905};
    w.set = {0, 0, 6000, 600};
    return w;
}

void ExpectAtRest(const DisplayWindows& w) {
    EXPECT_EQ(w.krc.left, w.show.left);
    EXPECT_EQ(w.krc.top, w.show.top);
    EXPECT_EQ(w.back.left, 0);
    // Whole pixels: within half a pixel of the exact place.
    EXPECT_LE(std::abs(w.back.top - (w.show.top - 455)), 7);
    EXPECT_LE(std::abs(w.set.left + w.set.width / 2 - w.screenWidthTwips / 2), 7);
    EXPECT_LE(std::abs(w.set.top + w.set.height / 2 - w.back.top), 7);
}

} // namespace

TEST(TwipsDrag, NoPointerMoveLinesCompanionsUp) {
    ExpectAtRest(DragFromMain(Scattered(), 0, 0, kFontSize));

    DisplayWindows fromKaraoke = DragFromKaraoke(Scattered(), 0, 0, kFontSize);
    EXPECT_EQ(fromKaraoke.krc.left, 3000);
    EXPECT_EQ(fromKaraoke.krc.top, 300);
    ExpectAtRest(fromKaraoke);

    DisplayWindows fromPanel = DragFromPanel(Scattered(), 0, kFontSize);
    EXPECT_EQ(fromPanel.back.top, 15);
    EXPECT_EQ(fromPanel.show.left, 150); // the panel never moves the main window sideways
    ExpectAtRest(fromPanel);
}

TEST(TwipsDrag, PointerPixelsMoveWindowsAsManyPixels) {
    DisplayWindows rest = DragFromMain(Scattered(), 0, 0, kFontSize);
    for (float d : {30.0f, 1.0f, -7.0f, 250.0f}) {
        const int movedTwips = static_cast<int>(d) * kTwipsPerPixel;
        DisplayWindows moved = DragFromMain(rest, d, d, kFontSize);
        EXPECT_EQ(moved.show.left - rest.show.left, movedTwips) << d;
        EXPECT_EQ(moved.show.top - rest.show.top, movedTwips) << d;
        ExpectAtRest(moved);

        moved = DragFromKaraoke(rest, d, d, kFontSize);
        EXPECT_EQ(moved.krc.top - rest.krc.top, movedTwips) << d;
        ExpectAtRest(moved);

        moved = DragFromPanel(rest, d, kFontSize);
        EXPECT_EQ(moved.back.top - rest.back.top, movedTwips) << d;
        EXPECT_EQ(moved.back.left, 0);
        ExpectAtRest(moved);
    }
}

TEST(TwipsDrag, CompanionsLandOnTheDraggedWindowsNewPlaceNotBeyondIt) {
    DisplayWindows rest = DragFromMain(Scattered(), 0, 0, kFontSize);
    DisplayWindows moved = DragFromMain(rest, 30, 0, kFontSize);
    EXPECT_EQ(moved.show.left, rest.show.left + 450);
    EXPECT_EQ(moved.krc.left, moved.show.left);

    moved = DragFromKaraoke(rest, 0, 30, kFontSize);
    EXPECT_EQ(moved.krc.top, rest.krc.top + 450);
    EXPECT_EQ(moved.show.top, moved.krc.top);
    EXPECT_EQ(moved.back.top, rest.back.top + 450);
    EXPECT_EQ(moved.set.top, rest.set.top + 450);
}

TEST(TwipsDrag, AtOneAndAHalfTimesTheWindowsSnapToThatDpisPixels) {
    // At 144 DPI a pixel is 10 twips; windows read back from the screen lie on that grid.
    DisplayWindows w;
    w.scale = DpiScale(144);
    w.screenWidthTwips = 19200;
    w.show = {0, 850, 19200, 9690};
    w.krc = w.show;
    w.back = {0, 400, 19200, 1905};
    w.set = {6340, 130, 5880, 540};
    // A press and release without moving leaves the main window where it is (a 15-twip grid would put
    // 850 twips at 855, half a pixel off, which the screen rounds to a pixel lower).
    DisplayWindows still = DragFromMain(w, 0, 0, kFontSize);
    EXPECT_EQ(still.show.top, 850);
    EXPECT_EQ(still.show.left, 0);
    for (const TwipsRect& r : {still.show, still.krc, still.back, still.set}) {
        EXPECT_EQ(r.left % 10, 0);
        EXPECT_EQ(r.top % 10, 0);
    }
    // The windows follow the pointer one to one: 30 pixels of this DPI are 300 twips, 14 pixels 140.
    EXPECT_EQ(DragFromMain(still, 30, 30, kFontSize).show.top, 1150);
    EXPECT_EQ(DragFromPanel(still, 14, kFontSize).back.top, still.back.top + 140);
}
