#include "rotation/MessageRotation_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace plumwick;

struct RecordingDisplay : RotationDisplay {
    void StartKaraokeTimer() override { ++sweeps; }
    void DrawMainLine(const std::u16string& line) override { lines.push_back(line); }
    void ClearMainLine() override { ++clears; }
    int clears = 0;
    int sweeps = 0;
    std::vector<std::u16string> lines;
};

struct RecordingView : RotationView {
    void RotationStateChanged(bool enabled) override { states.push_back(enabled); }
    bool AskReminder(std::u16string_view) override {
        ++asked;
        return answer;
    }
    std::vector<bool> states;
    int asked = 0;
    bool answer = false;
};

// Pumps this thread's messages for about `ms`, as the program's loop would.
void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

TEST(MessageRotation, RunsOnItsOwnTimerShowsItsStateAndHoldsTheLine) {
    RecordingDisplay display;
    RecordingView view;
    MessageRotation rotation(display);
    rotation.SetView(&view);
    ASSERT_TRUE(rotation.Create());

    // A publication shows its first line at once and starts the sweep.
    rotation.ReplaceMessages({u"only"});
    rotation.StartRotation(30);
    ASSERT_EQ(display.lines.size(), 1u);
    EXPECT_EQ(display.lines[0], u"only");
    EXPECT_EQ(display.sweeps, 1);
    ASSERT_FALSE(view.states.empty());
    EXPECT_TRUE(view.states.back());
    EXPECT_TRUE(rotation.Control().Enabled());
    EXPECT_EQ(rotation.Messages().Current(), u"only");

    // Its own timer keeps it turning, with no other window involved.
    Pump(400);
    EXPECT_GE(display.lines.size(), 3u);

    // A hold keeps the line; nothing is drawn until it ends.
    rotation.HoldLine(60);
    std::size_t held = display.lines.size();
    Pump(200);
    EXPECT_EQ(display.lines.size(), held);
    EXPECT_TRUE(rotation.Control().Held());
    rotation.EndHold();
    Pump(300);
    EXPECT_GT(display.lines.size(), held);

    // The lock button stops it; the toolbar is told.
    rotation.ToggleLock();
    EXPECT_FALSE(view.states.back());
    std::size_t stopped = display.lines.size();
    Pump(200);
    EXPECT_EQ(display.lines.size(), stopped);

    // At the start of the history the question is asked through the view; Cancel keeps it stopped.
    rotation.StopRotation();
    rotation.ReplaceMessages({});
    MessageRotation fresh(display);
    fresh.SetView(&view);
    ASSERT_TRUE(fresh.Create());
    fresh.Previous();
    EXPECT_EQ(view.asked, 1);
    EXPECT_FALSE(fresh.Control().Enabled());
}

} // namespace
