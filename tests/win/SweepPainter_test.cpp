// The karaoke sweep's ticks on a real layered window, driven by a clock the tests set: the picture the
// window is handed at each moment, and how much of it each tick hands over.
#include "display/KaraokeSweep.h"
#include "display/RenderPasses.h"
#include "display/SweepPainter_win.h"
#include "tests/win/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace plumwick;

namespace {

constexpr int kScreen = 400;
constexpr int kScreenTwips = kScreen * 15;
constexpr int kHeight = 111;
const std::u16string kLine = u"一行歌词 Song";

LineStyle KaraokeStyle(short scheme = 1) {
    LineStyle style;
    style.fontName = u"Microsoft YaHei";
    style.fontSize = 36;
    style.passes = {KaraokePass(scheme)};
    style.layoutWidth = kScreen;
    return style;
}

int ClientWidth(HWND window) {
    RECT rc{};
    GetClientRect(window, &rc);
    return rc.right - rc.left;
}

// A karaoke window on a screen kScreen px wide, with its renderer and sweep painter, and a sweep of a
// line 4500 twips (300 px) wide over one duration unit (0.5 s), timed by the test.
class SweepPainterTest : public ::testing::Test {
  protected:
    bool Tick(const std::u16string& text, int edge, double now) {
        return painter.Tick(window.get(), text, style, edge, kScreen, kHeight, now);
    }
    int EdgeAt(double seconds) const { return SweepEdgePixels(line, seconds, kScreenTwips); }

    // The largest channel difference, over the columns left of `edge`, between what the window was handed
    // and a window `edge` pixels wide drawn afresh, as each tick of the sweep used to draw it; -1 when any
    // pixel right of the edge is not fully transparent.
    int DifferenceFromFreshDraw(int edge) {
        test::LayeredTestWindow other(edge, kHeight, false);
        LayeredTextRenderer fresh;
        fresh.SetMode(LayeredTextRenderer::Mode::Straightforward);
        fresh.Draw(other.get(), kLine, style, edge, kHeight);
        const win::LayeredSurface& frame = painter.Frame();
        GdiFlush();
        int largest = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kScreen; ++x) {
                std::uint32_t shown = frame.pixels()[y * kScreen + x];
                if (x >= edge) {
                    if (shown != 0) {
                        return -1;
                    }
                    continue;
                }
                std::uint32_t expected = fresh.Surface().pixels()[y * edge + x];
                for (int shift = 0; shift < 32; shift += 8) {
                    int d = std::abs(static_cast<int>((shown >> shift) & 0xFF) -
                                     static_cast<int>((expected >> shift) & 0xFF));
                    largest = std::max(largest, d);
                }
            }
        }
        return largest;
    }

    test::LayeredTestWindow window{kScreen, kHeight};
    LayeredTextRenderer renderer;
    SweepPainter painter{renderer, 1.0 / 60};
    LineStyle style = KaraokeStyle();
    SweepLine line{InitialSweepWidthTwips(kScreenTwips, 4500), 4500, 1};
};

} // namespace

TEST_F(SweepPainterTest, AtEveryMomentTheWindowShowsTheLineLeftOfTheEdgeAndNothingRightOfIt) {
    double t0 = 50.0;
    painter.Arm(window.get(), EdgeAt(0), kHeight);
    for (double t : {0.0, 0.1, 0.25, 0.4, 0.5, 0.7}) {
        int edge = EdgeAt(t);
        // Past the line's end (0.7 s) the edge moves over blank columns only: nothing to hand over.
        EXPECT_EQ(Tick(kLine, edge, t0 + t), t < 0.6) << t;
        EXPECT_EQ(ClientWidth(window.get()), kScreen) << "the window keeps its size";
        int difference = DifferenceFromFreshDraw(edge);
        EXPECT_GE(difference, 0) << "ink right of the edge at " << t;
        EXPECT_LE(difference, test::kBlendRounding) << t;
    }
    EXPECT_EQ(EdgeAt(0.5), 350); // the line's right end, at duration x 0.5 s
}

TEST_F(SweepPainterTest, AMovingTickHandsOverOnlyTheColumnsBetweenTheEdges) {
    painter.Arm(window.get(), 100, kHeight);
    ASSERT_TRUE(Tick(kLine, 100, 10.0));
    EXPECT_EQ(painter.GetCounts().fullPresents, 1); // the first present hands over the whole window

    ASSERT_TRUE(Tick(kLine, 120, 10.02));
    PixelRect dirty = painter.GetCounts().lastDirty;
    EXPECT_EQ(dirty.left, 100);
    EXPECT_EQ(dirty.right, 120);
    EXPECT_GT(dirty.top, 0) << "rows without ink are not handed over";
    EXPECT_LE(dirty.bottom, kHeight);
    EXPECT_EQ(painter.GetCounts().fullPresents, 1);

    ASSERT_TRUE(Tick(kLine, 133, 10.04));
    EXPECT_EQ(painter.GetCounts().lastDirty.left, 120);
    EXPECT_EQ(painter.GetCounts().lastDirty.right, 133);
    EXPECT_LE(painter.GetCounts().lastDirty.Area(), 13 * kHeight);

    // The edge at rest, or moving over blank columns past the line's end: nothing is handed over.
    long presents = painter.GetCounts().presents;
    EXPECT_FALSE(Tick(kLine, 133, 10.06));
    ASSERT_TRUE(Tick(kLine, kScreen, 10.08));
    presents = painter.GetCounts().presents;
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(Tick(kLine, kScreen, 10.1 + i * 0.02));
    }
    EXPECT_EQ(painter.GetCounts().presents, presents);
}

TEST_F(SweepPainterTest, TicksPresentAtMostOncePerRefreshAndTheLastPictureIsNotLost) {
    painter.Arm(window.get(), EdgeAt(0), kHeight);
    ASSERT_TRUE(Tick(kLine, 100, 20.000));
    EXPECT_TRUE(Tick(kLine, 110, 20.017));
    EXPECT_FALSE(Tick(kLine, 120, 20.027)); // same refresh as the last present: it waits
    long presents = painter.GetCounts().presents;
    EXPECT_TRUE(Tick(kLine, 130, 20.037)); // the next refresh hands over both ticks' columns
    EXPECT_EQ(painter.GetCounts().lastDirty.left, 110);
    EXPECT_EQ(painter.GetCounts().lastDirty.right, 130);
    EXPECT_EQ(painter.GetCounts().presents, presents + 1);

    // The timer stops between refreshes: the waiting picture is handed over at once.
    EXPECT_FALSE(Tick(kLine, 140, 20.040));
    EXPECT_TRUE(painter.Flush(window.get(), 20.041));
    EXPECT_EQ(painter.GetCounts().lastDirty.right, 140);
    EXPECT_FALSE(painter.Flush(window.get(), 20.042));
    EXPECT_EQ(DifferenceFromFreshDraw(140) <= test::kBlendRounding, true);
}

TEST_F(SweepPainterTest, ALineDrawnBetweenTicksIsReplacedByTheSweptLineAtTheNextTick) {
    painter.Arm(window.get(), 200, kHeight);
    ASSERT_TRUE(Tick(kLine, 200, 30.0));
    // DKT draws another line at the edge, at once even within the same refresh.
    EXPECT_TRUE(painter.Draw(window.get(), u"另一行 Other", style, 200, kScreen, kHeight, 30.001));
    // The next tick draws the swept line again, whether or not the edge moved.
    EXPECT_TRUE(Tick(kLine, 200, 30.02));
    EXPECT_LE(DifferenceFromFreshDraw(200), test::kBlendRounding);

    // A new look (another colour scheme) is handed over at the next tick as well.
    style = KaraokeStyle(3);
    EXPECT_TRUE(Tick(kLine, 200, 30.04));
    EXPECT_LE(DifferenceFromFreshDraw(200), test::kBlendRounding);
}

TEST_F(SweepPainterTest, AWindowThatWasHiddenGetsItsWholeImageAgain) {
    painter.Arm(window.get(), 150, kHeight);
    ASSERT_TRUE(Tick(kLine, 150, 40.0));
    long full = painter.GetCounts().fullPresents;
    painter.ForgetShown();                 // the window was hidden and shown
    EXPECT_TRUE(Tick(kLine, 150, 40.001)); // neither the edge nor the refresh holds it back
    EXPECT_EQ(painter.GetCounts().fullPresents, full + 1);
    EXPECT_EQ(painter.GetCounts().lastDirty, (PixelRect{0, 0, kScreen, kHeight}));
}

TEST_F(SweepPainterTest, TheStraightforwardModeResizesAndRendersAWindowWideBitmapOnEveryTick) {
    renderer.SetMode(LayeredTextRenderer::Mode::Straightforward);
    painter.Arm(window.get(), 120, kHeight);
    EXPECT_EQ(ClientWidth(window.get()), 120);
    EXPECT_TRUE(Tick(kLine, 120, 1.0));
    EXPECT_TRUE(Tick(kLine, 120, 1.001)); // the same picture, presented again
    EXPECT_EQ(renderer.Surface().width(), 120);
    EXPECT_TRUE(Tick(kLine, 150, 1.002));
    EXPECT_EQ(renderer.Surface().width(), 150);
    EXPECT_EQ(ClientWidth(window.get()), 150);
    EXPECT_EQ(painter.GetCounts().presents, 3);
    EXPECT_EQ(painter.GetCounts().pixels, (120 + 120 + 150) * kHeight);
}

TEST_F(SweepPainterTest, AnEmptyLineMovesTheEdgeOverTheLastImageAndNoWidthShowsNothing) {
    EXPECT_FALSE(Tick(u"", 200, 1.0)); // nothing drawn yet: nothing to show
    EXPECT_TRUE(renderer.Surface().empty());

    ASSERT_TRUE(Tick(kLine, 150, 2.0));
    EXPECT_TRUE(Tick(u"", 250, 2.1));
    EXPECT_LE(DifferenceFromFreshDraw(250), test::kBlendRounding);
    EXPECT_TRUE(Tick(kLine, 0, 2.2));
    GdiFlush();
    for (int i = 0; i < kScreen * kHeight; ++i) {
        ASSERT_EQ(painter.Frame().pixels()[i], 0u) << i;
    }

    // The straightforward window is only resized.
    renderer.SetMode(LayeredTextRenderer::Mode::Straightforward);
    EXPECT_FALSE(Tick(u"", 200, 3.0));
    EXPECT_EQ(ClientWidth(window.get()), 200);
    EXPECT_FALSE(Tick(kLine, 0, 3.1));
    EXPECT_EQ(ClientWidth(window.get()), 0);
}
