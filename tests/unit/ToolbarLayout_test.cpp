#include "toolbar/ToolbarLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace plumwick;

namespace {
struct Rect {
    int left, top, right, bottom; // right and bottom exclusive
};

Rect Largest(const ControlLayout& control) {
    int width = control.width;
    int height = control.height;
    if (control.button) {
        for (Picture picture : {Picture::Initial, Picture::Normal, Picture::Hover, Picture::Pressed}) {
            PixelSize size = PictureSize(*control.button, picture);
            width = std::max(width, size.width);
            height = std::max(height, size.height);
        }
    }
    return {control.x, control.y, control.x + width, control.y + height};
}
} // namespace

TEST(ToolbarLayout, ControlsInAnyPictureStayApartAndInsideTheOpaqueStrip) {
    auto controls = ToolbarControls();
    ASSERT_EQ(controls.size(), 15u);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        Rect a = Largest(controls[i]);
        EXPECT_GE(a.left, 0) << controls[i].name;
        EXPECT_GE(a.top, 2) << controls[i].name; // below the rounded corners
        EXPECT_LE(a.right, kStripWidthPx) << controls[i].name;
        EXPECT_LE(a.bottom, kStripHeightPx) << controls[i].name;
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            Rect b = Largest(controls[j]);
            bool apart = a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
            EXPECT_TRUE(apart) << controls[i].name << " / " << controls[j].name;
        }
    }
}

TEST(ToolbarLayout, EveryButtonHasOneRowWithItsNormalSize) {
    std::set<ToolbarButton> seen;
    for (const ControlLayout& control : ToolbarControls()) {
        EXPECT_EQ(control.button.has_value(), control.kind == ControlKind::Button) << control.name;
        if (control.button) {
            EXPECT_TRUE(seen.insert(*control.button).second) << control.name;
            Picture first = *control.button == ToolbarButton::CmdLrc ? Picture::Initial : Picture::Normal;
            EXPECT_EQ(PictureSize(*control.button, first), (PixelSize{control.width, control.height}))
                << control.name;
            EXPECT_EQ(&LayoutOf(*control.button), &control);
        }
    }
    EXPECT_EQ(seen.size(), kToolbarButtonCount);
}

TEST(ToolbarLayout, TooltipsOnlyWhereTheToolbarHasThem) {
    std::set<std::string_view> withoutTooltip;
    for (const ControlLayout& control : ToolbarControls()) {
        if (control.tooltip.empty()) {
            withoutTooltip.insert(control.name);
        }
    }
    EXPECT_EQ(withoutTooltip, (std::set<std::string_view>{"CmdRed", "Image23", "Image3", "Image50"}));
    EXPECT_EQ(LayoutOf(ToolbarButton::CmdLock).tooltip, u"暂停与开启信息的显示");
    EXPECT_EQ(ToolbarControls().front().tooltip, u"双击信息文字,可直接复制到剪贴板");
}

TEST(ToolbarLayout, DecorationsSwallowTheStripsMoves) {
    EXPECT_TRUE(IsOverDecoration(8, 2));    // hint icon corner
    EXPECT_TRUE(IsOverDecoration(33, 28));  // hint icon's last pixel
    EXPECT_TRUE(IsOverDecoration(79, 25));  // separator
    EXPECT_FALSE(IsOverDecoration(80, 10)); // just right of it
    EXPECT_FALSE(IsOverDecoration(94, 8));  // a button
    EXPECT_FALSE(IsOverDecoration(4, 4));   // bare strip
}

TEST(PlaceToolbar, CentredWithItsMiddleOnThePanelTop) {
    ToolbarPlacement place = PlaceToolbar(19200.0f, 12000.0f);
    EXPECT_FLOAT_EQ(place.leftTwips, 9600.0f - 2940.0f);
    EXPECT_FLOAT_EQ(place.topTwips, 12000.0f - 270.0f);
    // A panel above the screen's top puts the toolbar there too; nothing is clamped.
    EXPECT_FLOAT_EQ(PlaceToolbar(20490.0f, -100.0f).topTwips, -370.0f);
    EXPECT_FLOAT_EQ(PlaceToolbar(20490.0f, 0.0f).leftTwips, 10245.0f - 2940.0f);
}
