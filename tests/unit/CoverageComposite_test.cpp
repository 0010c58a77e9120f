#include "display/CoverageComposite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

using namespace plumwick;

namespace {

CoverageMask Mask(int left, int top, int width, int height, std::uint8_t cover) {
    CoverageMask mask;
    mask.left = left;
    mask.top = top;
    mask.width = width;
    mask.height = height;
    mask.alpha.assign(static_cast<std::size_t>(width) * height, cover);
    return mask;
}

MirroredGradient Solid(std::uint32_t argb) {
    return {argb, argb, 36};
}

int ChannelOf(std::uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

} // namespace

TEST(CoverageComposite, BlendsPremultipliedSourceOverTheImage) {
    std::vector<std::uint32_t> pixels = {0, 0xFFFF0000u, 0};
    CoverageMask mask = Mask(0, 0, 3, 1, 255);
    mask.alpha[2] = 128;
    CompositeFill(pixels.data(), 3, 1, mask, Solid(0x40000000u), 0, 0);
    EXPECT_EQ(pixels[0], 0x40000000u); // a quarter of black over nothing
    EXPECT_EQ(pixels[1], 0xFFBF0000u); // the red keeps three quarters of itself
    EXPECT_EQ(pixels[2], 0x20000000u); // half covered: half the colour's alpha

    std::vector<std::uint32_t> white = {0};
    CompositeFill(white.data(), 1, 1, Mask(0, 0, 1, 1, 128), Solid(0xFFFFFFFFu), 0, 0);
    EXPECT_EQ(white[0], 0x80808080u); // premultiplied: the colour scaled by its coverage
}

TEST(CoverageComposite, StaysWithinRoundingOfExactBlendingAndKeepsColoursPremultiplied) {
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t da = random() % 256;
        auto under = [&] { return da == 0 ? 0u : static_cast<std::uint32_t>(random() % (da + 1)); };
        std::uint32_t destination = (da << 24) | (under() << 16) | (under() << 8) | under();
        std::uint32_t color = static_cast<std::uint32_t>(random());
        std::uint8_t cover = static_cast<std::uint8_t>(random() % 256);
        std::uint32_t pixel = destination;
        CompositeFill(&pixel, 1, 1, Mask(0, 0, 1, 1, cover), Solid(color), 0, 0);

        double sa = (color >> 24) / 255.0 * cover / 255.0;
        int alpha = ChannelOf(pixel, 24);
        // The colour's alpha is scaled by the coverage first, then each term rounded: at most 1.5 levels.
        EXPECT_NEAR(alpha, 255.0 * sa + da * (1 - sa), 1.5) << std::hex << destination << " " << color;
        for (int shift : {16, 8, 0}) {
            double exact = ChannelOf(color, shift) * sa + ChannelOf(destination, shift) * (1 - sa);
            EXPECT_NEAR(ChannelOf(pixel, shift), exact, 1.5) << std::hex << destination << " " << color;
            EXPECT_LE(ChannelOf(pixel, shift), alpha);
        }
    }
}

TEST(CoverageComposite, NoCoverageOrATransparentColourLeavesPixelsAlone) {
    std::vector<std::uint32_t> pixels(4, 0x80402010u);
    CompositeFill(pixels.data(), 2, 2, Mask(0, 0, 2, 2, 0), Solid(0xFF00FF00u), 0, 0);
    CompositeFill(pixels.data(), 2, 2, Mask(0, 0, 2, 2, 255), Solid(0x0000FF00u), 0, 0);
    CompositeFill(pixels.data(), 2, 2, CoverageMask{}, Solid(0xFF00FF00u), 0, 0);
    for (std::uint32_t p : pixels) {
        EXPECT_EQ(p, 0x80402010u);
    }
}

TEST(CoverageComposite, MovedMasksLandWhereTheyAreMovedAndAreCutAtTheImageEdges) {
    constexpr int kWidth = 4;
    constexpr int kHeight = 3;
    struct Case {
        int left, top, dx, dy;
        std::vector<int> touched; // indices of the image's pixels that are covered
    };
    const std::vector<Case> cases = {
        {0, 0, 0, 0, {0, 1, 4, 5}},
        {0, 0, -1, -1, {0}},          // up-left: only the mask's last pixel stays on the image
        {0, 0, 3, 2, {11}},           // down-right: only its first
        {0, 0, 4, 0, {}},             // wholly off the right edge
        {0, 0, 0, -2, {}},            // wholly above the top
        {-2, -1, 2, 2, {4, 5, 8, 9}}, // a mask that starts off the image, moved onto it
        {2, 1, -1, 1, {9, 10}},       // cut at the bottom
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> pixels(kWidth * kHeight, 0);
        CompositeFill(pixels.data(), kWidth, kHeight, Mask(c.left, c.top, 2, 2, 255), Solid(0xFF112233u),
                      c.dx, c.dy);
        std::vector<int> touched;
        for (int i = 0; i < kWidth * kHeight; ++i) {
            if (pixels[i] != 0) {
                EXPECT_EQ(pixels[i], 0xFF112233u);
                touched.push_back(i);
            }
        }
        EXPECT_EQ(touched, c.touched) << c.left << "," << c.top << " moved " << c.dx << "," << c.dy;
    }
}

TEST(CoverageComposite, TheGradientRunsFromTopToBottomAndBackEveryPeriod) {
    MirroredGradient fill{0xFF000000u, 0xFFFE00FEu, 10};
    EXPECT_EQ(GradientColorAt(fill, 0), 0xFF000000u);
    EXPECT_EQ(GradientColorAt(fill, 10), 0xFFFE00FEu);
    EXPECT_EQ(GradientColorAt(fill, 20), 0xFF000000u);
    EXPECT_EQ(GradientColorAt(fill, 5), 0xFF7F007Fu); // half way
    for (int k = 1; k < 10; ++k) {
        EXPECT_EQ(GradientColorAt(fill, 10 + k), GradientColorAt(fill, 10 - k)) << k;
        EXPECT_EQ(GradientColorAt(fill, -k), GradientColorAt(fill, k)) << k;
        EXPECT_GT(ChannelOf(GradientColorAt(fill, k), 16), ChannelOf(GradientColorAt(fill, k - 1), 16)) << k;
    }
    EXPECT_EQ(GradientColorAt({0xFF123456u, 0xFF123456u, 10}, 7), 0xFF123456u);
    EXPECT_EQ(GradientColorAt({0xFF000000u, 0xFFFFFFFFu, 0}, 7), 0xFF000000u); // no period: the first colour
}

TEST(CoverageComposite, TheGradientStaysWithTheImageRowsWhenTheMaskMoves) {
    MirroredGradient fill{0xFF000000u, 0xFF0000FEu, 4};
    std::vector<std::uint32_t> pixels(8, 0); // one column, eight rows
    CompositeFill(pixels.data(), 1, 8, Mask(0, 0, 1, 2, 255), fill, 0, 3);
    EXPECT_EQ(pixels[2], 0u);
    EXPECT_EQ(pixels[3], GradientColorAt(fill, 3));
    EXPECT_EQ(pixels[4], GradientColorAt(fill, 4));
    EXPECT_EQ(pixels[5], 0u);
}
