#include "notice/Notice.h"

#include <gtest/gtest.h>

using namespace plumwick;

TEST(NoticeGate, EachCauseIsToldOncePerStart) {
    NoticeGate gate;
    EXPECT_TRUE(gate.FirstTime(NoticeCause::HotkeyTaken));
    EXPECT_FALSE(gate.FirstTime(NoticeCause::HotkeyTaken));
    // Another cause is still told, and only once.
    EXPECT_TRUE(gate.FirstTime(NoticeCause::SettingsPlace));
    EXPECT_FALSE(gate.FirstTime(NoticeCause::SettingsPlace));
    EXPECT_FALSE(gate.FirstTime(NoticeCause::HotkeyTaken));
    EXPECT_FALSE(gate.FirstTime(NoticeCause::Count));

    // A condition that is over is told again when it comes back; the others stay told.
    gate.Cleared(NoticeCause::HotkeyTaken);
    gate.Cleared(NoticeCause::Count); // no such cause: nothing happens
    EXPECT_TRUE(gate.FirstTime(NoticeCause::HotkeyTaken));
    EXPECT_FALSE(gate.FirstTime(NoticeCause::HotkeyTaken));
    EXPECT_FALSE(gate.FirstTime(NoticeCause::SettingsPlace));
}

namespace {
// A 1920 x 1080 screen with a 40 px taskbar at the bottom, and one on a second monitor left of it.
const PixelRect kWork{0, 0, 1920, 1040};
const PixelRect kLeftMonitor{-1280, 100, 0, 1124};
} // namespace

TEST(NoticePlacement, FirstNoticeSitsInTheTopRightCornerOfTheWorkArea) {
    EXPECT_EQ(PlaceNotice(kWork, 360, 90, {}), (PixelRect{1548, 12, 1908, 102}));
    EXPECT_EQ(PlaceNotice(kLeftMonitor, 360, 90, {}), (PixelRect{-372, 112, -12, 202}));
    // At 150 % the margin is 18 px, to the edge and between notices.
    PixelRect first = PlaceNotice(kWork, 540, 135, {}, 18);
    EXPECT_EQ(first, (PixelRect{1362, 18, 1902, 153}));
    EXPECT_EQ(PlaceNotice(kWork, 540, 135, {first}, 18).top, 153 + 18);
}

TEST(NoticePlacement, FurtherNoticesStackBelowTheOpenOnesAndRestartAtTheTopWhenFull) {
    PixelRect first = PlaceNotice(kWork, 360, 90, {});
    PixelRect second = PlaceNotice(kWork, 360, 120, {first});
    EXPECT_EQ(second, (PixelRect{1548, 114, 1908, 234}));
    // The first has closed: its place is free again, even though the second is still open.
    EXPECT_EQ(PlaceNotice(kWork, 360, 90, {second}), first);
    // A notice too tall for the space left below goes back to the top.
    PixelRect tall{1548, 246, 1908, 1000};
    EXPECT_EQ(PlaceNotice(kWork, 360, 90, {first, second, tall}).top, 12);
}

TEST(NoticePlacement, IsCutToASmallWorkArea) {
    PixelRect placed = PlaceNotice(PixelRect{0, 0, 300, 100}, 360, 200, {});
    EXPECT_EQ(placed, (PixelRect{12, 12, 288, 88}));
    EXPECT_EQ(PlaceNotice(PixelRect{0, 0, 10, 10}, 360, 90, {}).Width(), 0);
}
