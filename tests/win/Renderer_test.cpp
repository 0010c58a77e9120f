// The renderer's pixels and resources, inside Windows (run under Wine by ctest).
#include "display/ColorSchemes.h"
#include "display/LayeredTextRenderer_win.h"
#include "display/RenderPasses.h"
#include "tests/win/RenderTestSupport.h"
#include "win32/Strings_win.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

struct Pixel {
    int a, r, g, b;
};

Pixel At(const win::LayeredSurface& s, int x, int y) {
    std::uint32_t v = s.pixels()[static_cast<std::size_t>(y) * s.width() + x];
    return {static_cast<int>(v >> 24), static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
            static_cast<int>(v & 0xFF)};
}

// Hidden: the renderer's pixels do not depend on the window being shown.
class HiddenLayeredWindow : public test::LayeredTestWindow {
  public:
    HiddenLayeredWindow(int width, int height) : LayeredTestWindow(width, height, false) {}
};

LineStyle MainStyle(int width) {
    auto colors = MainColorsFor(1);
    LineStyle style;
    style.fontName = u"Microsoft YaHei";
    style.fontSize = 36;
    style.passes = MainWindowPasses(colors->color1, colors->color2);
    style.layoutWidth = width;
    return style;
}

} // namespace

TEST(LayeredTextRenderer, DrawsTheFaceOverAShadowOnATransparentImage) {
    HiddenLayeredWindow window(400, 120);
    LayeredTextRenderer renderer;
    ASSERT_TRUE(renderer.Started());
    ASSERT_TRUE(renderer.Draw(window.get(), u"I", MainStyle(400), 400, 120));
    const win::LayeredSurface& s = renderer.Surface();
    ASSERT_EQ(s.width(), 400);

    // Far from the glyph everything is fully transparent.
    EXPECT_EQ(At(s, 5, 5).a, 0);
    EXPECT_EQ(At(s, 395, 100).a, 0);

    // Find the stem of the centred "I" in a row through its middle: opaque face pixels in scheme 1's blue.
    int row = -1, left = -1, right = -1;
    for (int y = 8; y < 45 && row < 0; ++y) {
        left = right = -1;
        for (int x = 150; x < 250; ++x) {
            Pixel p = At(s, x, y);
            if (p.a == 255 && p.b > 120 && p.r < 30) {
                if (left < 0) {
                    left = x;
                }
                right = x;
            }
        }
        if (left >= 0 && right - left >= 3) {
            row = y;
        }
    }
    ASSERT_GE(row, 0) << "no opaque face pixels";
    Pixel face = At(s, (left + right) / 2, row);
    EXPECT_LE(face.r, 2);
    EXPECT_GE(face.g, 0x3C - 4);
    EXPECT_LE(face.g, 0x98 + 4);

    // The shadow: partly transparent black just right of the stem (+1, +2 passes) and left of it (-1, -2).
    Pixel rightShadow = At(s, right + 2, row + 2);
    Pixel leftShadow = At(s, left - 2, row - 2);
    EXPECT_GT(rightShadow.a, 0x40);
    EXPECT_LT(rightShadow.a, 255);
    EXPECT_EQ(rightShadow.r + rightShadow.g + rightShadow.b, 0);
    EXPECT_GT(leftShadow.a, 0x10);
    EXPECT_EQ(leftShadow.r + leftShadow.g + leftShadow.b, 0);
    // Nothing beyond the shadow's reach.
    EXPECT_EQ(At(s, right + 6, row).a, 0);
}

TEST(LayeredTextRenderer, AnUnknownFontDrawsInTheShippedFaceAndSaysSoAndAnEmptyTextChangesNothing) {
    HiddenLayeredWindow window(300, 80);
    LayeredTextRenderer renderer;
    std::u16string told;
    renderer.SetFontMissingHandler(
        [&](const std::u16string& chosen, const std::u16string& face) { told = chosen + u"|" + face; });
    LineStyle style = MainStyle(300);
    style.fontName = u"No Such Font Family 12345";
    ASSERT_TRUE(renderer.Draw(window.get(), u"Hello", style, 300, 80));
    EXPECT_EQ(told, u"No Such Font Family 12345|Microsoft YaHei");

    LayeredTextRenderer shipped;
    style.fontName = u"Microsoft YaHei";
    ASSERT_TRUE(shipped.Draw(window.get(), u"Hello", style, 300, 80));
    EXPECT_EQ(test::LargestChannelDifference(renderer.Surface(), shipped.Surface()), 0);
    int inked = 0;
    for (int y = 0; y < 80; y += 3) {
        for (int x = 0; x < 300; x += 3) {
            inked += At(renderer.Surface(), x, y).a != 0;
        }
    }
    EXPECT_GT(inked, 20) << "nothing drawn";
    EXPECT_FALSE(renderer.Draw(window.get(), u"", MainStyle(300), 300, 80));
}

TEST(LayeredTextRenderer, TheKeptImageMatchesAFreshRender) {
    HiddenLayeredWindow window(600, 111);
    LayeredTextRenderer cached;
    LayeredTextRenderer fresh;
    fresh.SetMode(LayeredTextRenderer::Mode::Straightforward);
    LineStyle style = MainStyle(600);
    style.passes = {KaraokePass(1)};
    ASSERT_TRUE(cached.Draw(window.get(), u"欢迎光临 Welcome", style, 600, 111, 100));
    ASSERT_TRUE(cached.PresentVisible(window.get(), 300));
    ASSERT_TRUE(fresh.Draw(window.get(), u"欢迎光临 Welcome", style, 600, 111, 300));
    int difference = test::LargestChannelDifference(cached.Surface(), fresh.Surface());
    EXPECT_GE(difference, 0);
    EXPECT_LE(difference, test::kBlendRounding);
}

TEST(LayeredTextRenderer, ManyDrawsLeaveNoGdiObjectsBehind) {
    HiddenLayeredWindow window(800, 120);
    LayeredTextRenderer renderer;
    renderer.Draw(window.get(), u"warm-up", MainStyle(800), 800, 120);
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 200; ++i) {
        std::u16string text = u"line " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
        renderer.Draw(window.get(), text, MainStyle(800), 800 - (i % 2), 120);
    }
    renderer.Release();
    renderer.Draw(window.get(), u"warm-up", MainStyle(800), 800, 120);
    DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_LE(after, before + 2);
}

TEST(SystemAnsiCodePage, ConvertsGbkBytesUnderCodePage936) {
    if (GetACP() != 936) {
        GTEST_SKIP() << "the system code page is " << GetACP();
    }
    win::SystemAnsiCodePage codePage;
    EXPECT_EQ(codePage.ToUtf16("\xBB\xB6\xD3\xAD"), u"欢迎");
    EXPECT_EQ(codePage.FromUtf16(u"欢迎"), std::string("\xBB\xB6\xD3\xAD"));
    EXPECT_FALSE(codePage.FromUtf16(u"\u0e01").has_value()) << "characters outside GBK must not be guessed";
}
