#include "rotation/RotationControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace plumwick;

namespace {

class FakeHost : public RotationHost {
  public:
    void StartKaraokeTimer() override { calls.push_back("karaoke"); }
    void DrawMain(const std::u16string& line) override { calls.push_back("draw " + Ascii(line)); }
    void ClearMain() override { calls.push_back("clear"); }
    bool AskReminder(std::u16string_view text) override {
        asked.emplace_back(text);
        calls.push_back("ask");
        return answerOk;
    }
    void ApplyTimer(bool runs, unsigned intervalMs) override {
        timerRuns = runs;
        timerInterval = intervalMs;
    }
    void ApplyHoldTimer(bool runs, unsigned ms) override {
        holdRuns = runs;
        holdMs = runs ? ms : 0;
    }

    static std::string Ascii(const std::u16string& text) { return std::string(text.begin(), text.end()); }

    std::vector<std::string> calls;
    std::vector<std::u16string> asked;
    bool answerOk = false;
    bool timerRuns = false;
    unsigned timerInterval = 0;
    bool holdRuns = false;
    unsigned holdMs = 0;
};

// Ten lines "l0".."l9": r = (k + 0.5) / 10 picks line k.
std::vector<std::u16string> TenLines() {
    std::vector<std::u16string> lines;
    for (char c = '0'; c <= '9'; ++c) {
        lines.push_back(std::u16string(u"l") + char16_t(c));
    }
    return lines;
}
double Picking(int k) {
    return (k + 0.5) / 10.0;
}

struct Rotation : ::testing::Test {
    void SetUp() override { rotation.Messages().lines = TenLines(); }
    void TicksShowing(std::initializer_list<int> lines) {
        for (int k : lines) {
            rotation.Tick(Picking(k));
        }
        host.calls.clear();
    }
    FakeHost host;
    RotationControl rotation{host};
};

} // namespace

TEST_F(Rotation, TickStartsTheSweepThenDrawsAndRecordsThePick) {
    rotation.Tick(Picking(3));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"karaoke", "draw l3"}));
    EXPECT_EQ(rotation.Messages().index, 3.0);
    EXPECT_EQ(rotation.History().Text(), u"3,");
}

TEST_F(Rotation, PublishShowsTheFirstMessageAtOnceThenRunsOnTheInterval) {
    TicksShowing({1});
    rotation.Publish(20000, Picking(6));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"karaoke", "draw l6"}));
    EXPECT_EQ(rotation.Messages().index, 6.0);
    EXPECT_EQ(rotation.History().Text(), u"1,6,");
    EXPECT_EQ(rotation.History().Pos(), 1u);
    EXPECT_TRUE(rotation.Enabled());
    EXPECT_TRUE(host.timerRuns);
    EXPECT_EQ(host.timerInterval, 20000u);

    // An interval of 0 still shows the first message; only the later ticks never come.
    host.calls.clear();
    rotation.Publish(0, Picking(2));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"karaoke", "draw l2"}));
    EXPECT_TRUE(rotation.Enabled());
    EXPECT_FALSE(host.timerRuns);
}

TEST_F(Rotation, TickOverNoDrawableLineDrawsAndRecordsNothing) {
    for (const auto& lines : {std::vector<std::u16string>{}, std::vector<std::u16string>{u"", u""}}) {
        rotation.Messages().lines = lines;
        rotation.Messages().index = 4;
        host.calls.clear();
        rotation.Tick(0.5);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"karaoke"}));
        EXPECT_EQ(rotation.Messages().index, 4.0);
        EXPECT_EQ(rotation.History().Count(), 0u);
    }
}

TEST_F(Rotation, TickSkipsEmptyLinesAndCanPickTheLastLine) {
    rotation.Messages().lines = {u"a", u"", u"b"};
    rotation.Tick(0.0);
    rotation.Tick(0.99);
    EXPECT_EQ(rotation.History().Text(), u"0,2,");
    EXPECT_EQ(host.calls.back(), "draw b");
}

TEST_F(Rotation, PreviousAndNextWalkTheHistoryWithTheRotationStopped) {
    rotation.Start(5000);
    TicksShowing({3, 7, 1});
    rotation.Previous();
    EXPECT_FALSE(rotation.Enabled());
    EXPECT_FALSE(host.timerRuns);
    rotation.Previous();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"draw l7", "draw l3"}));
    EXPECT_EQ(rotation.Messages().index, 3.0);
    rotation.Next();
    rotation.Next();
    EXPECT_EQ(host.calls.back(), "draw l1");
    EXPECT_EQ(rotation.Messages().index, 1.0);
    EXPECT_TRUE(host.asked.empty());
    EXPECT_FALSE(rotation.Enabled());
    EXPECT_EQ(rotation.History().Text(), u"3,7,1,"); // walking never adds to the history
}

TEST_F(Rotation, FirstEntryAsksAndOkOnlyRestartsTheRotation) {
    rotation.Start(5000);
    TicksShowing({3, 7});
    rotation.Previous();
    rotation.Messages().index = 3;
    for (bool ok : {false, true}) {
        host.answerOk = ok;
        host.asked.clear();
        host.calls.clear();
        rotation.Previous();
        ASSERT_EQ(host.asked.size(), 1u);
        EXPECT_EQ(host.asked[0], kFirstMessageText);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"ask"})); // nothing drawn
        EXPECT_EQ(rotation.Enabled(), ok);
        EXPECT_EQ(host.timerRuns, ok);
        EXPECT_EQ(host.timerInterval, 5000u); // the interval survives the stop
        EXPECT_EQ(rotation.Messages().index, 3.0);
    }
}

TEST_F(Rotation, LastEntryAsksAndOkTakesTheEntryAsTheCurrentMessage) {
    rotation.Start(2000);
    TicksShowing({3, 7});
    rotation.Messages().index = 9; // e.g. moved on by something else; OK puts it back on the entry
    host.answerOk = false;
    rotation.Next();
    EXPECT_EQ(host.asked.back(), kLastMessageText);
    EXPECT_FALSE(rotation.Enabled());
    EXPECT_EQ(rotation.Messages().index, 9.0);
    host.answerOk = true;
    rotation.Next();
    EXPECT_TRUE(rotation.Enabled());
    EXPECT_TRUE(host.timerRuns);
    EXPECT_EQ(rotation.Messages().index, 7.0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ask", "ask"}));
}

TEST_F(Rotation, BeforeAnyTickBothButtonsAskAtOnce) {
    rotation.Previous();
    rotation.Next();
    EXPECT_EQ(host.asked, (std::vector<std::u16string>{kFirstMessageText, kLastMessageText}));
}

TEST_F(Rotation, StepToALineBeyondAShorterRepublishedListDrawsNothingButMoves) {
    TicksShowing({8, 2});
    rotation.Messages().lines = {u"x", u"y", u"z"};
    rotation.Previous();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(rotation.Messages().index, 8.0);
    rotation.Next();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"draw z"}));
    EXPECT_EQ(rotation.Messages().index, 2.0);
}

TEST_F(Rotation, AfterARebuildPreviousAndNextSkipEntriesBeyondTheNewList) {
    TicksShowing({1, 8, 2, 9});
    rotation.Messages().lines = {u"x", u"y", u"z"};
    rotation.SetSkipBeyondList(true);
    rotation.Previous(); // from 9, the newest, over nothing to 2
    rotation.Previous(); // over 8 to 1
    EXPECT_EQ(host.calls, (std::vector<std::string>{"draw z", "draw y"}));
    EXPECT_EQ(rotation.Messages().index, 1.0);
    rotation.Next(); // over 8 to 2
    EXPECT_EQ(host.calls.back(), "draw z");
    EXPECT_EQ(rotation.Messages().index, 2.0);
    // Only entries beyond the list remain ahead: the walk is at its end and asks.
    host.calls.clear();
    rotation.Next();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ask"}));
    EXPECT_EQ(host.asked.back(), kLastMessageText);
}

namespace {

struct FakeGate : TickGate {
    Choice ChooseTick(const std::vector<std::u16string>& lines, double r) override {
        seen = lines.size();
        seenR = r;
        return answer;
    }
    Choice answer;
    std::size_t seen = 0;
    double seenR = -1;
};

} // namespace

TEST_F(Rotation, AGateDecidesEachTick) {
    FakeGate gate;
    rotation.SetGate(&gate);
    // Free: the usual pick.
    rotation.Tick(Picking(4));
    EXPECT_EQ(gate.seen, 10u);
    EXPECT_EQ(gate.seenR, Picking(4));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"karaoke", "draw l4"}));
    // Draw: the gate's line, recorded.
    host.calls.clear();
    gate.answer = {TickGate::Action::Draw, 7};
    rotation.Tick(Picking(0));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"karaoke", "draw l7"}));
    EXPECT_EQ(rotation.Messages().index, 7.0);
    // Clear: the line goes down, nothing recorded, the index stays.
    host.calls.clear();
    gate.answer = {TickGate::Action::Clear, 0};
    rotation.Tick(Picking(0));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"clear"}));
    EXPECT_EQ(rotation.History().Text(), u"4,7,");
    EXPECT_EQ(rotation.Messages().index, 7.0);
    // Nothing, and a line beyond the list: nothing happens.
    host.calls.clear();
    gate.answer = {TickGate::Action::Nothing, 0};
    rotation.Tick(Picking(0));
    gate.answer = {TickGate::Action::Draw, 10};
    rotation.Tick(Picking(0));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"karaoke"}));
    EXPECT_EQ(rotation.History().Text(), u"4,7,");
    // A hold keeps even the gate away.
    gate.seen = 0;
    rotation.Hold(5);
    rotation.Tick(Picking(0));
    EXPECT_EQ(gate.seen, 0u);
}

TEST_F(Rotation, LockTogglesEvenWhenTheIntervalIsZero) {
    struct Case {
        bool publish;
        unsigned interval;
        bool firesWhenOn;
    };
    for (Case c : {Case{false, 0, false}, Case{true, 0, false}, Case{true, 3000, true}}) {
        FakeHost fresh;
        RotationControl r{fresh};
        if (c.publish) {
            r.Start(c.interval);
            r.ToggleLock(); // running -> stopped
            EXPECT_FALSE(r.Enabled());
            EXPECT_FALSE(fresh.timerRuns);
        }
        r.ToggleLock(); // idle or stopped -> on
        EXPECT_TRUE(r.Enabled());
        EXPECT_EQ(fresh.timerRuns, c.firesWhenOn);
        EXPECT_EQ(r.IntervalMs(), c.interval);
        r.ToggleLock();
        EXPECT_FALSE(r.Enabled());
        EXPECT_FALSE(fresh.timerRuns);
    }
}

TEST_F(Rotation, AHoldKeepsTicksOffItsLineThenTicksOnceAtItsEndAndRunsOn) {
    rotation.Start(3000);
    TicksShowing({3});
    rotation.Messages().index = 3;
    rotation.Hold(10);
    EXPECT_TRUE(rotation.Held());
    EXPECT_FALSE(host.timerRuns);
    EXPECT_TRUE(host.holdRuns);
    EXPECT_EQ(host.holdMs, 10000u);
    rotation.Tick(Picking(5)); // a tick already queued when the hold came
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(rotation.History().Text(), u"3,");
    EXPECT_EQ(rotation.Messages().index, 3.0);
    EXPECT_TRUE(rotation.Enabled()); // held, yet still running as far as the lock button goes

    EXPECT_TRUE(rotation.HoldRanOut()); // one tick at once ...
    EXPECT_FALSE(rotation.Held());
    EXPECT_FALSE(host.holdRuns);
    EXPECT_TRUE(host.timerRuns); // ... then every interval
    EXPECT_EQ(host.timerInterval, 3000u);
    rotation.Tick(Picking(5));
    EXPECT_EQ(host.calls.back(), "draw l5");
}

TEST_F(Rotation, ASecondHoldReplacesTheFirst) {
    rotation.Start(3000);
    rotation.Hold(600);
    rotation.Hold(2);
    EXPECT_EQ(host.holdMs, 2000u);
    EXPECT_TRUE(rotation.HoldRanOut());
    EXPECT_FALSE(rotation.HoldRanOut()); // the first hold's time is gone with it
    EXPECT_TRUE(host.timerRuns);
}

TEST_F(Rotation, PreviousNextLockPublicationAndClearEndAHoldWithoutATick) {
    struct Case {
        const char* name;
        void (*act)(RotationControl&);
        bool runsAfter;
    };
    const Case cases[] = {
        {"previous", [](RotationControl& r) { r.Previous(); }, false},
        {"next", [](RotationControl& r) { r.Next(); }, false},
        {"lock", [](RotationControl& r) { r.ToggleLock(); }, false},
        {"publication", [](RotationControl& r) { r.Stop(), r.Start(4000); }, true},
        {"clear", [](RotationControl& r) { r.EndHold(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost fresh;
        RotationControl r{fresh};
        r.Messages().lines = TenLines();
        r.Start(3000);
        r.Tick(Picking(1));
        r.Tick(Picking(2));
        r.Hold(30);
        fresh.calls.clear();
        c.act(r);
        EXPECT_FALSE(r.Held());
        EXPECT_FALSE(fresh.holdRuns);
        EXPECT_EQ(fresh.timerRuns, c.runsAfter);
        EXPECT_EQ(std::count(fresh.calls.begin(), fresh.calls.end(), "karaoke"), 0); // no tick of its own
        EXPECT_FALSE(r.HoldRanOut()); // a timer message already queued ends nothing
        EXPECT_EQ(fresh.timerRuns, c.runsAfter);
    }
}

TEST_F(Rotation, AHoldOverAStoppedIdleOrZeroIntervalRotationEndsWithoutATick) {
    rotation.Hold(5); // idle
    EXPECT_FALSE(rotation.HoldRanOut());
    EXPECT_FALSE(host.timerRuns);

    rotation.Start(0);
    rotation.Hold(5);
    EXPECT_FALSE(rotation.HoldRanOut());
    EXPECT_FALSE(host.timerRuns);

    rotation.Start(2000);
    rotation.Stop();
    rotation.Hold(5);
    EXPECT_FALSE(rotation.HoldRanOut());
    EXPECT_FALSE(host.timerRuns);
    EXPECT_FALSE(rotation.Enabled());
}
