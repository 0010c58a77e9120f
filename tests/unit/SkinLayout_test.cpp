#include "display/SkinLayout.h"

#include <gtest/gtest.h>

#include <limits>

using namespace plumwick;

namespace {
void ExpectPiece(const SkinPiece& piece, double x, double width, double height) {
    EXPECT_EQ(piece.x, x);
    EXPECT_EQ(piece.y, 0.0);
    EXPECT_EQ(piece.width, width);
    EXPECT_EQ(piece.height, height);
}
} // namespace

TEST(SkinLayout, CapsTwoPixelsTallerAndMiddleStretchedBetween) {
    SkinLayout layout = ComputeSkinLayout(40, 60, 1920 * 15);
    ExpectPiece(layout.left, 0, 40, 62);
    ExpectPiece(layout.middle, 40, 1840, 60);
    ExpectPiece(layout.right, 1880, 40, 62);
}

TEST(SkinLayout, FractionalScreenWidthKeepsMiddleExactAndRoundsRightCap) {
    SkinLayout layout = ComputeSkinLayout(40, 60, 28808); // 1920.5333 px
    EXPECT_DOUBLE_EQ(layout.middle.width, 28808.0 / 15 - 80);
    EXPECT_EQ(layout.right.x, 1881.0);
}

TEST(SkinLayout, MissingLeftImageLeavesNothingVisible) {
    SkinLayout layout = ComputeSkinLayout(0, 0, 1920 * 15);
    EXPECT_EQ(layout.left.width, 0.0);
    ExpectPiece(layout.middle, 0, 1920, 0);
    EXPECT_EQ(layout.right.width, 0.0);
}

TEST(SkinLayout, CapsWiderThanHalfTheScreenLeaveNoMiddle) {
    SkinLayout layout = ComputeSkinLayout(1000, 60, 1920 * 15);
    EXPECT_EQ(layout.middle.width, 0.0);
    EXPECT_EQ(layout.right.x, 920.0); // still against the screen's right edge
}

TEST(SkinLayout, PanelTopSitsAThirdOfSpareHeightAboveMainWindow) {
    EXPECT_EQ(PanelTopTwips(10000, 1905, 36.0f), 10000 - 455);
    EXPECT_EQ(PanelTopTwips(10000, 1905, 36.5f), 9548); // 9547.5, half to even
    EXPECT_EQ(PanelTopTwips(9999, 1905, 36.5f), 9546);
    EXPECT_EQ(PanelTopTwips(10000, 1905, 200.0f), 10000 + 365); // a big font puts the panel below the top
    EXPECT_EQ(PanelTopTwips(10000, 1905, std::numeric_limits<float>::quiet_NaN()), 10000);
}

// Walks a row through the panel's middle at every scale the display supports: each device column is
// covered by exactly one piece, so no column lets the desktop through (at 144 DPI on 1920 columns the
// right cap starts at 1860).
TEST(SkinLayout, EveryColumnOfTheRowIsCoveredOnceAtEveryScale) {
    for (unsigned dpi : {96u, 120u, 144u, 168u, 192u}) {
        DpiScale scale(dpi);
        for (int widthPx : {1920, 1366, 1280, 3840, 1921}) {
            int widthTwips = scale.PixelsToTwips(widthPx);
            SkinLayout layout = DeviceSkinLayout(ComputeSkinLayout(40, 110, widthTwips), scale, widthPx);
            int row = static_cast<int>(layout.middle.height / 2);
            int uncovered = 0, twice = 0;
            for (int x = 0; x < widthPx; ++x) {
                int covering = 0;
                for (const SkinPiece& piece : {layout.left, layout.middle, layout.right}) {
                    bool inColumns = x >= piece.x && x < piece.x + piece.width;
                    covering += inColumns && row >= piece.y && row < piece.y + piece.height ? 1 : 0;
                }
                uncovered += covering == 0;
                twice += covering > 1;
            }
            EXPECT_EQ(uncovered, 0) << dpi << " DPI, " << widthPx << " px";
            EXPECT_EQ(twice, 0) << dpi << " DPI, " << widthPx << " px";
            for (const SkinPiece& piece : {layout.left, layout.middle, layout.right}) {
                EXPECT_EQ(piece.x, static_cast<int>(piece.x)) << dpi;
                EXPECT_EQ(piece.width, static_cast<int>(piece.width)) << dpi;
            }
            if (dpi == 144 && widthPx == 1920) {
                EXPECT_EQ(layout.right.x, 1860);
                EXPECT_EQ(layout.right.width, 60);
                EXPECT_EQ(layout.left.height, 168); // 112 design rows
            }
        }
    }
}
