#include "toolbar/ButtonPictures.h"
#include "toolbar/ToolbarLayout.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {
constexpr ToolbarButton kAll[] = {ToolbarButton::Delay1,    ToolbarButton::Delay2, ToolbarButton::CmdBlue,
                                  ToolbarButton::CmdGreen,  ToolbarButton::CmdRed, ToolbarButton::CmdWhite,
                                  ToolbarButton::CmdYellow, ToolbarButton::CmdSet, ToolbarButton::CmdLrc,
                                  ToolbarButton::CmdLock,   ToolbarButton::CmdEnd};

PixelSize CurrentSize(const ButtonPictures& pictures, ToolbarButton button) {
    return PictureSize(button, pictures.Get(button));
}
} // namespace

TEST(ButtonPictures, AllNormalAtCreationExceptTheContentManagerButton) {
    ButtonPictures pictures;
    for (ToolbarButton button : kAll) {
        EXPECT_EQ(pictures.Get(button), button == ToolbarButton::CmdLrc ? Picture::Initial : Picture::Normal);
    }
    EXPECT_EQ(CurrentSize(pictures, ToolbarButton::CmdLrc), (PixelSize{67, 23}));
    pictures.MouseMoveOver(ToolbarButton::CmdLrc); // hovering the button itself is no refresh
    pictures.MouseMoveOverStrip();
    EXPECT_EQ(CurrentSize(pictures, ToolbarButton::CmdLrc), (PixelSize{59, 21}));
}

TEST(ButtonPictures, SwatchGrowsOnHoverAndShrinksBackOverTheStrip) {
    ButtonPictures pictures;
    pictures.MouseMoveOverStrip();
    pictures.MouseMoveOver(ToolbarButton::CmdGreen);
    EXPECT_EQ(CurrentSize(pictures, ToolbarButton::CmdGreen), (PixelSize{16, 16}));
    pictures.MouseMoveOverStrip();
    EXPECT_EQ(CurrentSize(pictures, ToolbarButton::CmdGreen), (PixelSize{14, 14}));
}

TEST(ButtonPictures, PressedStaysUntilTheNextMove) {
    ButtonPictures pictures;
    pictures.MouseMoveOver(ToolbarButton::CmdSet);
    pictures.MouseDownOn(ToolbarButton::CmdSet);
    EXPECT_EQ(pictures.Get(ToolbarButton::CmdSet), Picture::Pressed);
    EXPECT_EQ(CurrentSize(pictures, ToolbarButton::CmdSet), (PixelSize{41, 21}));
    // No mouse-up handling: still pressed after release, hover again on the next move over it.
    EXPECT_EQ(pictures.Get(ToolbarButton::CmdSet), Picture::Pressed);
    pictures.MouseMoveOver(ToolbarButton::CmdSet);
    EXPECT_EQ(pictures.Get(ToolbarButton::CmdSet), Picture::Hover);
}

TEST(ButtonPictures, LeftoverHoverAndPressedAllResetByOneStripMove) {
    ButtonPictures pictures;
    pictures.MouseMoveOver(ToolbarButton::CmdBlue);
    pictures.MouseDownOn(ToolbarButton::CmdEnd);
    pictures.MouseMoveOver(ToolbarButton::Delay2); // a fast pointer leaves the others as they were
    EXPECT_EQ(pictures.Get(ToolbarButton::CmdBlue), Picture::Hover);
    EXPECT_EQ(pictures.Get(ToolbarButton::CmdEnd), Picture::Pressed);
    pictures.MouseMoveOverStrip();
    for (ToolbarButton button : kAll) {
        EXPECT_EQ(pictures.Get(button), Picture::Normal);
    }
}

TEST(ButtonPictures, PauseButtonAndChosenDiscShowTheirState) {
    ButtonPictures pictures;
    for (ToolbarButton button : kAll) {
        EXPECT_EQ(pictures.LookOf(button), PictureLook::Plain); // not running, no scheme chosen yet
    }
    EXPECT_TRUE(pictures.SetRotationRunning(true));
    EXPECT_FALSE(pictures.SetRotationRunning(true));
    EXPECT_EQ(pictures.LookOf(ToolbarButton::CmdLock), PictureLook::Running);

    EXPECT_TRUE(pictures.SetChosenScheme(3));
    for (ToolbarButton button : kAll) {
        PictureLook expected = button == ToolbarButton::CmdRed    ? PictureLook::Chosen
                               : button == ToolbarButton::CmdLock ? PictureLook::Running
                                                                  : PictureLook::Plain;
        EXPECT_EQ(pictures.LookOf(button), expected) << static_cast<int>(button);
    }
    // The look survives the pointer's comings and goings.
    pictures.MouseMoveOver(ToolbarButton::CmdRed);
    pictures.MouseMoveOverStrip();
    EXPECT_EQ(pictures.LookOf(ToolbarButton::CmdRed), PictureLook::Chosen);

    EXPECT_TRUE(pictures.SetChosenScheme(5));
    EXPECT_EQ(pictures.LookOf(ToolbarButton::CmdRed), PictureLook::Plain);
    EXPECT_EQ(pictures.LookOf(ToolbarButton::CmdYellow), PictureLook::Chosen);
    // A number that chooses no scheme marks no disc.
    EXPECT_TRUE(pictures.SetChosenScheme(9));
    EXPECT_FALSE(pictures.SetChosenScheme(0));
    EXPECT_EQ(pictures.LookOf(ToolbarButton::CmdYellow), PictureLook::Plain);

    EXPECT_TRUE(pictures.SetRotationRunning(false));
    EXPECT_EQ(pictures.LookOf(ToolbarButton::CmdLock), PictureLook::Plain);
}

TEST(ButtonAt, FollowsTheCurrentPictureSize) {
    ButtonPictures pictures;
    pictures.MouseMoveOverStrip();
    // CmdBlue at (94, 8): 14 x 14 normally, 16 x 16 while hovered.
    EXPECT_EQ(ButtonAt(94, 8, pictures), ToolbarButton::CmdBlue);
    EXPECT_EQ(ButtonAt(107, 21, pictures), ToolbarButton::CmdBlue);
    EXPECT_FALSE(ButtonAt(108, 21, pictures).has_value());
    EXPECT_FALSE(ButtonAt(109, 23, pictures).has_value());
    pictures.MouseMoveOver(ToolbarButton::CmdBlue);
    EXPECT_EQ(ButtonAt(109, 23, pictures), ToolbarButton::CmdBlue);
    EXPECT_FALSE(ButtonAt(110, 8, pictures).has_value());
    EXPECT_FALSE(ButtonAt(93, 8, pictures).has_value()); // grows right and down only
    EXPECT_FALSE(ButtonAt(94, 7, pictures).has_value());
}

TEST(ButtonAt, ContentManagerButtonShrinksAfterTheFirstRefresh) {
    ButtonPictures pictures;
    EXPECT_EQ(ButtonAt(322, 26, pictures), ToolbarButton::CmdLrc);
    pictures.MouseMoveOverStrip();
    EXPECT_FALSE(ButtonAt(322, 26, pictures).has_value());
    EXPECT_EQ(ButtonAt(314, 24, pictures), ToolbarButton::CmdLrc);
}

TEST(ButtonAt, GrownSwatchesNeverReachTheirNeighbours) {
    ButtonPictures pictures;
    pictures.MouseMoveOverStrip();
    pictures.MouseMoveOver(ToolbarButton::CmdRed);
    pictures.MouseMoveOver(ToolbarButton::CmdWhite);
    // CmdRed's hover spans x 134..149, CmdWhite starts at 150 and grows up to 165, CmdYellow at 166.
    EXPECT_EQ(ButtonAt(149, 10, pictures), ToolbarButton::CmdRed);
    EXPECT_EQ(ButtonAt(150, 10, pictures), ToolbarButton::CmdWhite);
    EXPECT_EQ(ButtonAt(165, 10, pictures), ToolbarButton::CmdWhite);
    EXPECT_EQ(ButtonAt(166, 10, pictures), ToolbarButton::CmdYellow);
}

TEST(ButtonAt, EachButtonIsFoundAtItsOwnCorner) {
    ButtonPictures pictures;
    for (ToolbarButton button : kAll) {
        const ControlLayout& layout = LayoutOf(button);
        EXPECT_EQ(ButtonAt(layout.x, layout.y, pictures), button) << layout.name;
    }
    EXPECT_FALSE(ButtonAt(20, 10, pictures).has_value()); // the hint icon is no button
}

TEST(IsSeeThrough, MarginsAndRoundedCorners) {
    struct Case {
        int x, y;
        bool seeThrough;
    };
    for (auto [x, y, expected] : {
             Case{0, 0, true},     Case{1, 0, true},     Case{2, 0, false},   Case{0, 1, true},
             Case{1, 1, false},    Case{0, 2, false},    Case{386, 0, false}, Case{387, 0, true},
             Case{388, 0, true},   Case{387, 1, false},  Case{388, 1, true},  Case{388, 2, false},
             Case{388, 29, false}, Case{389, 10, true},  Case{391, 35, true}, Case{200, 29, false},
             Case{200, 30, true},  Case{0, 35, true},    Case{-1, 5, true},   Case{392, 5, true},
             Case{5, 36, true},    Case{200, 15, false},
         }) {
        EXPECT_EQ(IsSeeThrough(x, y), expected) << x << "," << y;
    }
}
