// The kept image: whatever was drawn before, it must hold what a fresh render of the line gives (up to the
// rounding of its own blending).
#include "display/ColorSchemes.h"
#include "display/LayeredTextRenderer_win.h"
#include "display/RenderPasses.h"
#include "tests/win/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plumwick;
using Window = plumwick::test::LayeredTestWindow;

namespace {

LineStyle Style(int width, int scheme, bool karaoke) {
    LineStyle style;
    style.fontName = u"Microsoft YaHei";
    style.fontSize = 36;
    auto colors = MainColorsFor(scheme);
    style.passes = karaoke ? std::vector<RenderPass>{KaraokePass(static_cast<std::int16_t>(scheme))}
                           : MainWindowPasses(colors->color1, colors->color2);
    style.layoutWidth = width;
    return style;
}

} // namespace

TEST(LayeredTextRendererCache, EachImageMatchesAFreshRenderWhateverCameBefore) {
    constexpr int kWidth = 500;
    constexpr int kHeight = 160;
    // A line that wraps onto three rows, then shorter ones: the rows the earlier lines reached must be
    // cleared; a blank draws nothing; the same line again after a blank is drawn again.
    const std::u16string wrapped =
        u"欢迎光临 Plumwick 今日特价 新鲜水果八折 会员积分双倍 谢谢惠顾 Open 9:00-21:00";
    struct Step {
        std::u16string text;
        int scheme;
        bool karaoke;
    };
    const std::vector<Step> steps = {
        {wrapped, 1, false}, {u"短", 1, false},  {u"短", 3, false},      {u" ", 3, false},
        {u"短", 3, false},   {wrapped, 5, true}, {u"gjpqy 低", 5, true}, {u"gjpqy 低", 2, false},
    };
    Window window(kWidth, kHeight);
    Window other(kWidth, kHeight);
    LayeredTextRenderer cached;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        LineStyle style = Style(kWidth, step.scheme, step.karaoke);
        ASSERT_TRUE(cached.Draw(window.get(), step.text, style, kWidth, kHeight)) << "step " << i;
        LayeredTextRenderer fresh;
        fresh.SetMode(LayeredTextRenderer::Mode::Straightforward);
        ASSERT_TRUE(fresh.Draw(other.get(), step.text, style, kWidth, kHeight)) << "step " << i;
        int difference = test::LargestChannelDifference(cached.Surface(), fresh.Surface());
        EXPECT_GE(difference, 0) << "step " << i;
        EXPECT_LE(difference, test::kBlendRounding) << "step " << i;
    }
}

TEST(LayeredTextRendererCache, ClearingForgetsTheImageSoTheSameLineIsRenderedAgain) {
    Window window(300, 80);
    LayeredTextRenderer renderer;
    LineStyle style = Style(300, 4, false);
    ASSERT_TRUE(renderer.Draw(window.get(), u"Hello 你好", style, 300, 80));
    renderer.Clear();
    for (int i = 0; i < 300 * 80; ++i) {
        ASSERT_EQ(renderer.Surface().pixels()[i], 0u);
    }
    ASSERT_TRUE(renderer.Draw(window.get(), u"Hello 你好", style, 300, 80));
    LayeredTextRenderer fresh;
    fresh.SetMode(LayeredTextRenderer::Mode::Straightforward);
    Window other(300, 80);
    ASSERT_TRUE(fresh.Draw(other.get(), u"Hello 你好", style, 300, 80));
    int difference = test::LargestChannelDifference(renderer.Surface(), fresh.Surface());
    EXPECT_GE(difference, 0);
    EXPECT_LE(difference, test::kBlendRounding);
}
