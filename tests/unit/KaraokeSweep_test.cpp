#include "display/KaraokeSweep.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace plumwick;

namespace {
constexpr int kScreenTwips = 28800; // 1920 pixels
constexpr int kScreenPx = 1920;
} // namespace

TEST(KaraokeSweep, InitialWidthIsLeftMarginOfCentredLine) {
    struct Case {
        int textWidth, expected;
    };
    for (const Case& c : {Case{8940, 9930}, Case{8941, 9930} /* 9929.5, half to even */, Case{8943, 9928},
                          Case{0, 14400}, Case{kScreenTwips, 0}, Case{kScreenTwips + 1, kScreenTwips},
                          Case{32767, kScreenTwips}, Case{-32768, kScreenTwips}}) {
        EXPECT_EQ(InitialSweepWidthTwips(kScreenTwips, c.textWidth), c.expected) << c.textWidth;
    }
}

TEST(KaraokeSweep, ParseDurationRoundsHalfEvenAndRejectsNonNumbers) {
    EXPECT_EQ(ParseDuration(u"1"), 1);
    EXPECT_EQ(ParseDuration(u" 2.5 "), 2);
    EXPECT_EQ(ParseDuration(u"3.5"), 4);
    EXPECT_EQ(ParseDuration(u"-1"), -1);
    for (auto text : {u"", u"abc", u"1s", u"1e10"}) {
        EXPECT_FALSE(ParseDuration(text).has_value());
    }
}

TEST(KaraokeSweep, EachTickAddsTextWidthOverFiftyDurationsRoundedToPixels) {
    // 8940 / 1 / 50 = 178.8 twips = 11.92 px, which the window holds as 12.
    EXPECT_EQ(NextSweepWidthPixels(662, 8940, 1, kScreenPx), 674);
    EXPECT_EQ(NextSweepWidthPixels(662, 8940, 2, kScreenPx), 668); // 89.4 twips = 5.96 px
    EXPECT_EQ(NextSweepWidthPixels(662, 750, 1, kScreenPx), 663);  // exactly 1 px
    EXPECT_EQ(NextSweepWidthPixels(662, 375, 1, kScreenPx), 662);  // 0.5 px: half to even
    EXPECT_EQ(NextSweepWidthPixels(663, 375, 1, kScreenPx), 664);
    // At 144 DPI a pixel is 10 twips: the same 178.8 twips are 17.88 pixels.
    EXPECT_EQ(NextSweepWidthPixels(662, 8940, 1, kScreenPx, DpiScale(144)), 680);
}

TEST(KaraokeSweep, RightEdgeReachesLineEndAfterDurationTimesFiftyTicks) {
    struct Case {
        int textWidth;
        std::int32_t duration;
    };
    for (const Case& c : {Case{7500, 1}, Case{8940, 1}, Case{8940, 3}, Case{15000, 2}, Case{20000, 4}}) {
        std::size_t ticks = static_cast<std::size_t>(c.duration) * kSweepTicksPerDurationUnit;
        std::vector<int> widths = SweepWidthsPixels(kScreenTwips, c.textWidth, c.duration, ticks);
        ASSERT_EQ(widths.size(), ticks);
        double lineEndPx = (kScreenTwips + c.textWidth) / 2.0 / 15.0;
        // Each tick rounds to whole pixels and the rounding is not carried: up to half a pixel per tick
        // (plus the start).
        EXPECT_LE(std::abs(widths.back() - lineEndPx), 0.5 * static_cast<double>(ticks + 1)) << c.textWidth;
    }
    // An increment of whole pixels lands exactly on the line's end.
    EXPECT_EQ(SweepWidthsPixels(kScreenTwips, 7500, 1, 50).back(), (kScreenTwips + 7500) / 2 / 15);
}

TEST(KaraokeSweep, LineWiderThanScreenStartsAndStaysAtFullWidth) {
    for (int width : SweepWidthsPixels(kScreenTwips, 30000, 1, 20)) {
        EXPECT_EQ(width, kScreenPx);
    }
}

TEST(KaraokeSweep, WidthIsCappedAtScreenSoRunningTimerRedrawsNothing) {
    std::vector<int> widths = SweepWidthsPixels(kScreenTwips, 8940, 1, 500);
    EXPECT_EQ(widths.back(), kScreenPx);
    for (int width : widths) {
        EXPECT_LE(width, kScreenPx);
    }
    EXPECT_TRUE(SweepTickChangesNothing(widths[498], widths[499]));
    EXPECT_FALSE(SweepTickChangesNothing(widths[0], widths[1]));
}

TEST(KaraokeSweep, ZeroDurationStopsAndNegativeShrinksToZero) {
    EXPECT_TRUE(SweepStopsAt(0));
    EXPECT_FALSE(SweepStopsAt(-1));
    EXPECT_TRUE(SweepWidthsPixels(kScreenTwips, 8940, 0, 10).empty());
    EXPECT_EQ(NextSweepWidthPixels(662, 8940, 0, kScreenPx), 662);

    EXPECT_EQ(NextSweepWidthPixels(662, 8940, -1, kScreenPx), 650);
    std::vector<int> widths = SweepWidthsPixels(kScreenTwips, 8940, -1, 100);
    EXPECT_EQ(widths.back(), 0);
    for (int width : widths) {
        EXPECT_GE(width, 0);
    }
}
