#include "display/KaraokeSweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using namespace plumwick;

namespace {
constexpr int kScreenTwips = 28800; // 1920 pixels
constexpr int kScreenPx = 1920;

SweepLine Line(int textWidth, std::int32_t duration) {
    return {InitialSweepWidthTwips(kScreenTwips, textWidth), textWidth, duration};
}

// The line's right end in pixels, as the window's right edge reaches it.
int LineEndPx(int textWidth) {
    return static_cast<int>(std::lround((kScreenTwips + textWidth) / 2.0 / 15.0));
}

// The edge at each tick of a timer whose ticks come at the given times (seconds after arming).
std::vector<int> EdgesAt(const SweepLine& line, const std::vector<double>& tickTimes) {
    std::vector<int> edges;
    for (double t : tickTimes) {
        edges.push_back(SweepEdgePixels(line, t, kScreenTwips));
    }
    return edges;
}

std::vector<double> EvenTicks(double periodSeconds, double untilSeconds) {
    std::vector<double> times;
    for (int i = 1; i * periodSeconds <= untilSeconds + 1e-9; ++i) {
        times.push_back(i * periodSeconds);
    }
    return times;
}

// Ticks that come late by a varying amount, as under load: 10 ms plus 0 to 37 ms.
std::vector<double> IrregularTicks(double untilSeconds) {
    std::vector<double> times;
    double t = 0;
    for (int i = 0; t < untilSeconds; ++i) {
        t += 0.010 + 0.001 * ((i * 7919) % 38);
        times.push_back(t);
    }
    return times;
}
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

TEST(KaraokeSweep, EachTenMillisecondsAddTextWidthOverFiftyDurations) {
    SweepLine line = Line(8940, 1);
    EXPECT_DOUBLE_EQ(SweepEdgeTwips(line, 0, kScreenTwips), 9930);
    EXPECT_NEAR(SweepEdgeTwips(line, 0.010, kScreenTwips), 9930 + 178.8, 1e-9);
    EXPECT_NEAR(SweepEdgeTwips(line, 0.020, kScreenTwips), 9930 + 2 * 178.8, 1e-9);
    // Between ticks the edge is where the time puts it, not where the last whole tick left it.
    EXPECT_NEAR(SweepEdgeTwips(line, 0.015625, kScreenTwips), 9930 + 1.5625 * 178.8, 1e-9);
    EXPECT_NEAR(SweepEdgeTwips(Line(8940, 2), 0.010, kScreenTwips), 9930 + 89.4, 1e-9);
    // Whole pixels, halves to even: 9930 twips = 662 px; + 375 twips = 662.5 px -> 662.
    EXPECT_EQ(SweepEdgePixels(Line(8940, 1), 0.010, kScreenTwips), 674); // 673.92
    EXPECT_EQ(SweepEdgePixels({9930, 375, 1}, 0.010, kScreenTwips), 662);
    EXPECT_EQ(SweepEdgePixels({9945, 375, 1}, 0.010, kScreenTwips), 664); // 663.5 -> 664
}

TEST(KaraokeSweep, TheSweepEndsAtTheLineEndAfterDurationTimesHalfASecondOnAnyTimer) {
    struct Case {
        int textWidth;
        std::int32_t duration;
    };
    struct Timer {
        const char* name;
        std::function<std::vector<double>(double)> ticks;
    };
    std::vector<Timer> timers = {
        {"10 ms", [](double until) { return EvenTicks(0.010, until); }},
        {"15.625 ms", [](double until) { return EvenTicks(0.015625, until); }},
        {"irregular", [](double until) { return IrregularTicks(until); }},
    };
    for (const Case& c : {Case{7500, 1}, Case{8940, 1}, Case{8940, 3}, Case{15000, 2}, Case{20000, 4}}) {
        SweepLine line = Line(c.textWidth, c.duration);
        double end = c.duration * 0.5;
        int lineEnd = LineEndPx(c.textWidth);
        for (const Timer& timer : timers) {
            std::vector<double> times = timer.ticks(end + 0.1);
            std::vector<int> edges = EdgesAt(line, times);
            for (std::size_t i = 0; i < times.size(); ++i) {
                if (i > 0) {
                    EXPECT_GE(edges[i], edges[i - 1]) << timer.name;
                }
                if (times[i] < end - 0.03) {
                    EXPECT_LT(edges[i], lineEnd) << timer.name << " early at " << times[i];
                }
                if (times[i] >= end) {
                    EXPECT_GE(edges[i], lineEnd - 1) << timer.name << " late at " << times[i];
                }
            }
            // Exactly at duration x 0.5 s the edge is at the line's end, to the rounding of one pixel.
            EXPECT_LE(std::abs(SweepEdgePixels(line, end, kScreenTwips) - lineEnd), 1) << c.textWidth;
        }
    }
}

TEST(KaraokeSweep, SlowLinesMoveBecauseFractionsAreCarried) {
    // 9000 twips over 30 x 0.5 s: 0.4 px a tick, which a whole-pixel window used to drop every time.
    for (std::int32_t duration : {24, 30}) {
        SweepLine line = Line(9000, duration);
        int start = SweepEdgePixels(line, 0, kScreenTwips);
        EXPECT_EQ(start, 660);
        std::vector<int> edges = EdgesAt(line, EvenTicks(0.010, 1.0));
        EXPECT_NEAR(edges.back() - start, 600.0 / duration * 2, 1) << duration; // 600 px per 0.5 s x d
        EXPECT_EQ(SweepEdgePixels(line, duration * 0.5, kScreenTwips), LineEndPx(9000));
    }
}

TEST(KaraokeSweep, ALineWiderThanTheScreenShowsWholeAndTheEdgeStopsAtTheScreensWidth) {
    for (int edge : EdgesAt(Line(30000, 1), EvenTicks(0.010, 1.0))) {
        EXPECT_EQ(edge, kScreenPx);
    }
    // The timer runs on past the line's end; the edge never passes the screen's width.
    SweepLine line = Line(8940, 1);
    EXPECT_EQ(SweepEdgePixels(line, 5.0, kScreenTwips), kScreenPx);
    EXPECT_EQ(SweepEdgePixels(line, 1e9, kScreenTwips), kScreenPx);
}

TEST(KaraokeSweep, ZeroDurationStaysAndNegativeDurationMovesLeftToZero) {
    EXPECT_TRUE(SweepStopsAt(0));
    EXPECT_FALSE(SweepStopsAt(-1));
    EXPECT_EQ(SweepEdgePixels(Line(8940, 0), 3.0, kScreenTwips), 662);

    SweepLine back = Line(8940, -1);
    EXPECT_EQ(SweepEdgePixels(back, 0.010, kScreenTwips), 650); // 662 - 11.92
    EXPECT_EQ(SweepEdgePixels(back, 10.0, kScreenTwips), 0);
}

// The timer may be let go once the edge is at rest, so "at rest" must mean exactly that no later tick
// moves it, in every direction a sender's numbers can give, and never before.
TEST(KaraokeSweep, AtRestMeansNoLaterTickMovesTheEdge) {
    for (int width : {0, 1, 1000, 8940, 28800, 30000, -8940}) {
        for (std::int32_t duration : {1, 2, 30, -1, -6}) {
            SweepLine line = Line(width, duration);
            double final = SweepEdgeTwips(line, 1e9, kScreenTwips);
            for (double t : IrregularTicks(20.0)) {
                bool still = SweepEdgeTwips(line, t, kScreenTwips) == final;
                EXPECT_EQ(SweepAtRest(line, t, kScreenTwips), still)
                    << "width " << width << " duration " << duration << " at " << t << " s";
            }
        }
    }
    // The 8940-twip line of duration 1 reaches the screen's width 1.0554 s after arming.
    EXPECT_FALSE(SweepAtRest(Line(8940, 1), 1.05, kScreenTwips));
    EXPECT_TRUE(SweepAtRest(Line(8940, 1), 1.06, kScreenTwips));
    // A duration of 0 never rests: its tick hides the window and stops the timer.
    EXPECT_FALSE(SweepAtRest(Line(8940, 0), 100.0, kScreenTwips));
}

TEST(KaraokeSweep, TheTimelineCountsOnlyWhileTheTimerRuns) {
    SweepTimeline timeline;
    EXPECT_EQ(timeline.Elapsed(5.0), 0);
    timeline.Arm(100.0);
    timeline.Start(100.0);
    EXPECT_DOUBLE_EQ(timeline.Elapsed(100.25), 0.25);
    timeline.Start(100.5); // TMS on a running timer: nothing restarts
    EXPECT_DOUBLE_EQ(timeline.Elapsed(101.0), 1.0);
    timeline.Stop(101.0); // TME
    EXPECT_DOUBLE_EQ(timeline.Elapsed(150.0), 1.0);
    timeline.Stop(151.0);
    EXPECT_DOUBLE_EQ(timeline.Elapsed(152.0), 1.0);
    timeline.Start(200.0); // TMS
    EXPECT_DOUBLE_EQ(timeline.Elapsed(200.5), 1.5);
    timeline.Arm(201.0); // a new line while the timer runs starts from nothing
    EXPECT_DOUBLE_EQ(timeline.Elapsed(201.25), 0.25);
    timeline.Stop(202.0);
    timeline.Arm(300.0); // armed while stopped: nothing counts until it starts
    EXPECT_DOUBLE_EQ(timeline.Elapsed(310.0), 0);
    EXPECT_DOUBLE_EQ(timeline.Elapsed(299.0), 0);
}

TEST(KaraokeSweep, APausedSweepEndsLaterByThePause) {
    // Duration 4: 2 s of running timer. TME at 0.5 s, TMS at 3.5 s: the line ends at 5 s.
    SweepLine line = Line(9000, 4);
    SweepTimeline timeline;
    timeline.Arm(0);
    timeline.Start(0);
    timeline.Stop(0.5);
    int paused = SweepEdgePixels(line, timeline.Elapsed(0.5), kScreenTwips);
    EXPECT_EQ(SweepEdgePixels(line, timeline.Elapsed(3.4), kScreenTwips), paused);
    timeline.Start(3.5);
    EXPECT_LT(SweepEdgePixels(line, timeline.Elapsed(4.9), kScreenTwips), LineEndPx(9000));
    EXPECT_EQ(SweepEdgePixels(line, timeline.Elapsed(5.0), kScreenTwips), LineEndPx(9000));
}

TEST(KaraokeSweep, RefreshPeriodFallsBackToSixtyHertz) {
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(0), 1.0 / 60);
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(1), 1.0 / 60);
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(-5), 1.0 / 60);
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(75), 1.0 / 75);
    EXPECT_DOUBLE_EQ(RefreshPeriodSeconds(144), 1.0 / 144);
}

TEST(KaraokeSweep, ThePacerAllowsOnePresentPerRefreshWhateverTheTimer) {
    for (double tick : {0.010, 0.015625, 0.001}) {
        PresentPacer pacer(1.0 / 60);
        int presents = 0;
        double lastPresent = -1;
        for (double t = 1000.0; t < 1002.0; t += tick) {
            if (pacer.MayPresent(t)) {
                pacer.Presented(t);
                ++presents;
                lastPresent = t;
            }
        }
        // 2 s at 60 Hz; a 15.625 ms timer loses only the ticks that fall twice into one refresh.
        EXPECT_LE(presents, 121) << tick;
        EXPECT_GE(presents, tick < 0.016 ? 110 : 0) << tick;
        EXPECT_GT(lastPresent, 1001.9) << tick;
    }
    PresentPacer pacer(1.0 / 60);
    EXPECT_TRUE(pacer.MayPresent(5.0));
    pacer.Presented(5.0);
    EXPECT_FALSE(pacer.MayPresent(5.001));
    pacer.Reset();
    EXPECT_TRUE(pacer.MayPresent(5.001));
    pacer.Presented(5.001);
    EXPECT_TRUE(pacer.MayPresent(1.0)); // a clock that went back does not stop presenting
}

TEST(KaraokeSweep, APresentHandsOverOnlyTheInkBetweenTheEdges) {
    PixelRect ink{600, 10, 1300, 90};
    EXPECT_EQ(EdgeMoveDirty(ink, 700, 712), (PixelRect{700, 10, 712, 90}));
    EXPECT_EQ(EdgeMoveDirty(ink, 712, 700), (PixelRect{700, 10, 712, 90})); // a line swept backwards
    EXPECT_TRUE(EdgeMoveDirty(ink, 700, 700).Empty());
    EXPECT_TRUE(EdgeMoveDirty(ink, 500, 600).Empty());   // still left of the line
    EXPECT_TRUE(EdgeMoveDirty(ink, 1300, 1920).Empty()); // past its end: nothing visible changes
    EXPECT_EQ(EdgeMoveDirty(ink, 590, 610), (PixelRect{600, 10, 610, 90}));
    EXPECT_TRUE(EdgeMoveDirty(PixelRect{}, 0, 1920).Empty());

    // A new image: what the old one showed is wiped and what the new one shows is handed over.
    PixelRect next{800, 20, 1100, 100};
    EXPECT_EQ(ImageChangeDirty(ink, 700, next, 900), (PixelRect{600, 10, 900, 100}));
    EXPECT_EQ(ImageChangeDirty(ink, 500, next, 900), (PixelRect{800, 20, 900, 100}));
    EXPECT_TRUE(ImageChangeDirty(ink, 500, next, 700).Empty());
    EXPECT_EQ(VisibleInk(ink, 5000), ink);
    EXPECT_EQ(Bounding(PixelRect{}, ink), ink);
    EXPECT_TRUE(Intersect(ink, PixelRect{0, 0, 10, 10}).Empty());
}

TEST(KaraokeSweep, PacedPresentsHandOverAboutOneStepOfColumnsPerTick) {
    // A full-width line over 3 s on a 15.625 ms timer, ink on all 111 rows: on average a moving tick hands
    // over no more than its step of columns (plus two for rounding), however the presents are paced.
    SweepLine line = Line(28500, 6);
    PixelRect ink{10, 0, 1910, 111};
    double step = 28500.0 / 6 / 50 / 15; // px per 10 ms
    for (double tick : {0.010, 0.015625}) {
        PresentPacer pacer(1.0 / 60);
        int shown = SweepEdgePixels(line, 0, kScreenTwips);
        long long pixels = 0;
        int movingTicks = 0;
        for (double t = tick; t <= 3.0; t += tick) {
            int edge = SweepEdgePixels(line, t, kScreenTwips);
            if (edge != SweepEdgePixels(line, t - tick, kScreenTwips)) {
                ++movingTicks;
            }
            PixelRect dirty = EdgeMoveDirty(ink, shown, edge);
            if (!dirty.Empty() && pacer.MayPresent(t)) {
                pacer.Presented(t);
                pixels += dirty.Area();
                shown = edge;
            }
        }
        ASSERT_GT(movingTicks, 0);
        double perTick = static_cast<double>(pixels) / movingTicks;
        EXPECT_LE(perTick, (step * tick / 0.010 + 2) * 111) << tick;
        EXPECT_GE(shown, 1900) << tick;
    }
}
