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
