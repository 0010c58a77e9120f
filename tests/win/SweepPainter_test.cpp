// The karaoke sweep's ticks on a real layered window: what each tick hands to the window, and the
// window's width after it.
#include "display/ColorSchemes.h"
#include "display/RenderPasses.h"
#include "display/SweepPainter_win.h"
#include "tests/win/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <string>

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

// A karaoke window 120 px wide on a screen kScreen px wide, with its renderer and sweep painter.
class SweepPainterTest : public ::testing::Test {
protected:
    bool Tick(const std::u16string& text, int oldWidth, int newWidth) {
        return painter.Tick(window.get(), text, style, oldWidth, newWidth, kScreen, kHeight);
    }

    test::LayeredTestWindow window{120, kHeight};
    LayeredTextRenderer renderer;
    SweepPainter painter{renderer};
    LineStyle style = KaraokeStyle();
};

} // namespace

TEST_F(SweepPainterTest, TheFirstTickOfALineDrawsAndATickThatKeepsTheWidthDrawsNothing) {
    painter.Arm();
    EXPECT_TRUE(Tick(u"一行歌词", 120, 120));
    EXPECT_FALSE(Tick(u"一行歌词", 120, 120));

    // Growing: the window takes the new width, the line stays rendered across the whole screen.
    EXPECT_TRUE(Tick(u"一行歌词", 120, 163));
    EXPECT_EQ(ClientWidth(window.get()), 163);
    EXPECT_EQ(renderer.Surface().width(), kScreen);

    // Past the line's end the window sits at the screen's width: nothing more to draw.
    EXPECT_TRUE(Tick(u"一行歌词", 163, kScreen));
    EXPECT_EQ(ClientWidth(window.get()), kScreen);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(Tick(u"一行歌词", kScreen, kScreen));
    }

    // A new line armed at an unchanged width is drawn on its first tick.
    painter.Arm();
    EXPECT_TRUE(Tick(u"下一行", kScreen, kScreen));
}

TEST_F(SweepPainterTest, TheStraightforwardModeRendersAWindowWideBitmapOnEveryTick) {
    renderer.SetMode(LayeredTextRenderer::Mode::Straightforward);

    painter.Arm();
    EXPECT_TRUE(Tick(u"一行歌词", 120, 120));
    EXPECT_TRUE(Tick(u"一行歌词", 120, 120));
    EXPECT_EQ(renderer.Surface().width(), 120);
    EXPECT_TRUE(Tick(u"一行歌词", 120, 150));
    EXPECT_EQ(renderer.Surface().width(), 150);
    EXPECT_EQ(ClientWidth(window.get()), 150);
}

TEST_F(SweepPainterTest, AnEmptyLineOrNoWidthOnlyResizesTheWindow) {
    painter.Arm();
    EXPECT_FALSE(Tick(u"", 120, 200));
    EXPECT_EQ(ClientWidth(window.get()), 200);
    EXPECT_TRUE(renderer.Surface().empty());

    EXPECT_FALSE(Tick(u"一行歌词", 200, 0));
    EXPECT_EQ(ClientWidth(window.get()), 0);
    EXPECT_TRUE(renderer.Surface().empty());
}
