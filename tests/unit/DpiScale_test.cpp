#include "common/DpiScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace plumwick;

TEST(DpiScale, AtTheBaseDpiTwipsAreFifteenToThePixel) {
    for (DpiScale base : {DpiScale(), DpiScale(96), DpiScale(0)}) {
        EXPECT_EQ(base.Dpi(), 96u);
        EXPECT_EQ(base.TwipsToPixels(9690), 646);
        EXPECT_EQ(base.PixelsToTwips(1920), 28800);
        EXPECT_EQ(base.Pixels(389), 389);
        EXPECT_FLOAT_EQ(base.Scale(36), 36);
    }
}

TEST(DpiScale, LargerDpiDrawsTheDesignSizesLargerAtDeviceResolution) {
    DpiScale scale(144);
    EXPECT_FLOAT_EQ(scale.Scale(36), 54); // FontSize 36 draws 54-pixel glyphs
    EXPECT_EQ(scale.TwipsToPixels(9690), 969);
    EXPECT_EQ(scale.Pixels(646), 969);
    // The screen measured in design twips is smaller, so a window as wide as it still fills it.
    EXPECT_EQ(scale.PixelsToTwips(1920), 19200);
    EXPECT_EQ(scale.TwipsToPixels(scale.PixelsToTwips(1920)), 1920);
    EXPECT_EQ(DpiScale(192).TwipsToPixels(9690), 1292);
    // 125 %: halves go to even, as every window position does.
    EXPECT_EQ(DpiScale(120).TwipsToPixels(9690), 808);
    EXPECT_EQ(DpiScale(120).Pixels(1.4), 2);
    EXPECT_EQ(DpiScale(120).Pixels(-1.4), -2);
}

TEST(DpiScale, DevicePixelsRoundTripThroughTwipsAtEveryCommonDpi) {
    for (unsigned dpi : {96u, 120u, 144u, 168u, 192u, 240u, 288u}) {
        DpiScale scale(dpi);
        for (int px : {0, 1, 7, 646, 969, 1054, 2160, -33}) {
            EXPECT_EQ(scale.TwipsToPixels(scale.PixelsToTwips(px)), px) << dpi << " dpi, " << px << " px";
        }
    }
}

TEST(DpiScale, EveryDevicePixelFallsInTheDesignPixelItWasDrawnFrom) {
    DpiScale scale(144);
    // Design pixel 10 covers device 15 to 16.5, design pixel 11 from there to 18; a device pixel goes
    // by its centre.
    EXPECT_EQ(scale.ToDesign(15), 10);
    EXPECT_EQ(scale.ToDesign(16), 11);
    EXPECT_EQ(scale.ToDesign(17), 11);
    EXPECT_EQ(scale.ToDesign(18), 12);
    EXPECT_EQ(scale.ToDesign(-1), -1); // left of the origin is outside, not design pixel 0
    // Whatever the DPI, the first device pixel of a design pixel leads back to it.
    for (unsigned dpi : {96u, 120u, 144u, 168u, 192u}) {
        DpiScale s(dpi);
        for (int design : {0, 1, 8, 388, 389}) {
            EXPECT_EQ(s.ToDesign(s.Pixels(design)), design) << dpi << " dpi, design pixel " << design;
        }
    }
}

TEST(DpiScale, WildValuesStayWithinWhatWindowCallsTake) {
    DpiScale scale(144);
    EXPECT_EQ(scale.TwipsToPixels(1e300), 100000000);
    EXPECT_EQ(scale.TwipsToPixels(-1e300), -100000000);
    EXPECT_EQ(scale.TwipsToPixels(std::nan("")), 0);
    EXPECT_EQ(DpiScale(1).PixelsToTwips(std::numeric_limits<int>::max()), std::numeric_limits<int>::max());
}

TEST(DpiScale, StripBelowTheWorkAreaIsMeasuredInDesignTwips) {
    EXPECT_EQ(StripBelowWorkAreaTwips(1080, 1040, DpiScale(96)), 600);
    // The same 40-pixel taskbar at 150 %: 400 twips, which puts the window's bottom on it again.
    EXPECT_EQ(StripBelowWorkAreaTwips(1080, 1040, DpiScale(144)), 400);
    EXPECT_EQ(DpiScale(144).TwipsToPixels(StripBelowWorkAreaTwips(1080, 1040, DpiScale(144))), 40);
    EXPECT_EQ(StripBelowWorkAreaTwips(1080, 1080, DpiScale(144)), 0); // taskbar elsewhere or hidden
    EXPECT_EQ(StripBelowWorkAreaTwips(1080, -100000, DpiScale(96)), 32767);
    EXPECT_EQ(StripBelowWorkAreaTwips(1080, std::numeric_limits<int>::min(), DpiScale(96)), 32767);
    EXPECT_EQ(StripBelowWorkAreaTwips(1080, 100000, DpiScale(96)), -32768);
}
