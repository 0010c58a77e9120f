// The karaoke sweep's ticks on a real layered window: what each tick hands to the window, and the
// window's width after it.
#include "display/ColorSchemes.h"
#include "display/RenderPasses.h"
#include "display/SweepPainter_win.h"
#include "tests/win/RenderTestSupport.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

constexpr int kScreen = 400;
constexpr int kHeight = 111;

LineStyle KaraokeStyle() {
    LineStyle style;
    style.fontName = u"Microsoft YaHei";
    style.fontSize = 36;
    style.passes = {KaraokePass(1)};
    style.layoutWidth = kScreen;
    return style;
}

int ClientWidth(HWND window) {
    RECT rc{};
    GetClientRect(window, &rc);
    return rc.right - rc.left;
}

} // namespace

TEST(SweepPainter, TheFirstTickOfALineDrawsAndATickThatKeepsTheWidthDrawsNothing) {
    test::LayeredTestWindow window(120, kHeight);
    LayeredTextRenderer renderer;
    SweepPainter painter(renderer);
    LineStyle style = KaraokeStyle();

    painter.Arm();
    EXPECT_TRUE(painter.Tick(window.get(), u"一行歌词", style, 120, 120, kScreen, kHeight));
    EXPECT_FALSE(painter.Tick(window.get(), u"一行歌词", style, 120, 120, kScreen, kHeight));

    // Growing: the window takes the new width, the line stays rendered across the whole screen.
    EXPECT_TRUE(painter.Tick(window.get(), u"一行歌词", style, 120, 163, kScreen, kHeight));
    EXPECT_EQ(ClientWidth(window.get()), 163);
    EXPECT_EQ(renderer.Surface().width(), kScreen);

    // Past the line's end the window sits at the screen's width: nothing more to draw.
    EXPECT_TRUE(painter.Tick(window.get(), u"一行歌词", style, 163, kScreen, kScreen, kHeight));
    EXPECT_EQ(ClientWidth(window.get()), kScreen);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(painter.Tick(window.get(), u"一行歌词", style, kScreen, kScreen, kScreen, kHeight));
    }

    // A new line armed at an unchanged width is drawn on its first tick.
    painter.Arm();
    EXPECT_TRUE(painter.Tick(window.get(), u"下一行", style, kScreen, kScreen, kScreen, kHeight));
}

TEST(SweepPainter, TheStraightforwardModeRendersAWindowWideBitmapOnEveryTick) {
    test::LayeredTestWindow window(120, kHeight);
    LayeredTextRenderer renderer;
    renderer.SetMode(LayeredTextRenderer::Mode::Straightforward);
    SweepPainter painter(renderer);
    LineStyle style = KaraokeStyle();

    painter.Arm();
    EXPECT_TRUE(painter.Tick(window.get(), u"一行歌词", style, 120, 120, kScreen, kHeight));
    EXPECT_TRUE(painter.Tick(window.get(), u"一行歌词", style, 120, 120, kScreen, kHeight));
    EXPECT_EQ(renderer.Surface().width(), 120);
    EXPECT_TRUE(painter.Tick(window.get(), u"一行歌词", style, 120, 150, kScreen, kHeight));
    EXPECT_EQ(renderer.Surface().width(), 150);
    EXPECT_EQ(ClientWidth(window.get()), 150);
}

TEST(SweepPainter, AnEmptyLineOrNoWidthOnlyResizesTheWindow) {
    test::LayeredTestWindow window(120, kHeight);
    LayeredTextRenderer renderer;
    SweepPainter painter(renderer);
    LineStyle style = KaraokeStyle();

    painter.Arm();
    EXPECT_FALSE(painter.Tick(window.get(), u"", style, 120, 200, kScreen, kHeight));
    EXPECT_EQ(ClientWidth(window.get()), 200);
    EXPECT_TRUE(renderer.Surface().empty());

    EXPECT_FALSE(painter.Tick(window.get(), u"一行歌词", style, 200, 0, kScreen, kHeight));
    EXPECT_EQ(ClientWidth(window.get()), 0);
    EXPECT_TRUE(renderer.Surface().empty());
}
