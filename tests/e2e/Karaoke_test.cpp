// The karaoke sweep driven through the command box: DKC sings a line, TME stops it, CKT clears.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plumwick::e2e;

namespace {

// Scheme 1's highlight runs from 0xBCF9FC at the top to 0x67F0FC at the bottom.
bool IsHighlight(Rgb c) { return c.g > 0xD0 && c.b > 0xD0 && c.r < 0xD0 && c.r > 0x50; }

int CountHighlight(const Image& image, const Session::Rect& area) {
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y) {
        for (int x = area.x; x < area.x + area.w; ++x) {
            if (IsHighlight(image.At(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

class KaraokeSweep : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(session.WaitForAboutToClose());
    }
    Session session;
};

} // namespace

TEST_F(KaraokeSweep, WidensTickByTickOverTheLineInTheHighlightColours) {
    // A line about 600 px wide, sung over 4 x 50 ticks (about 2 s at 10 ms a tick).
    ASSERT_EQ(session.Send("DKC梅溪小店 今日特价 新鲜水果八折||4||9000"), 0);
    std::vector<int> widths;
    for (int i = 0; i < 6; ++i) {
        widths.push_back(session.WindowRect("PlumwickKaraoke").w);
        SleepSeconds(0.15);
    }
    // It starts at the line's left margin, (28800 - 9000) / 2 twips = 660 px, and grows.
    EXPECT_GE(widths.front(), 660);
    for (std::size_t i = 1; i < widths.size(); ++i) {
        EXPECT_GE(widths[i], widths[i - 1]) << "tick " << i;
    }
    EXPECT_GT(widths.back(), widths.front() + 20);
    Session::Rect karaoke = session.WindowRect("PlumwickKaraoke");
    Image shot = session.Screenshot();
    session.SaveScreenshot("karaoke-sweep");
    EXPECT_GT(CountHighlight(shot, karaoke), 200) << "no highlight colour in the karaoke window";
    EXPECT_TRUE(session.Visible("PlumwickKaraoke"));

    // The sweep runs on past the line's end but never grows wider than the screen.
    SleepSeconds(3.5);
    EXPECT_LE(session.WindowRect("PlumwickKaraoke").w, 1920);
}

TEST_F(KaraokeSweep, TheSameLineTwiceDoesNotRestartAndTmeStopsTheSweep) {
    ASSERT_EQ(session.Send("DKCOne line to sing||20||9000"), 0);
    SleepSeconds(0.5);
    int before = session.WindowRect("PlumwickKaraoke").w;
    ASSERT_EQ(session.Send("DKCOne line to sing||20||9000"), 0); // ignored: same line
    SleepSeconds(0.3);
    EXPECT_GT(session.WindowRect("PlumwickKaraoke").w, before) << "the second DKC restarted the sweep";

    ASSERT_EQ(session.Send("TME"), 0);
    int stopped = session.WindowRect("PlumwickKaraoke").w;
    SleepSeconds(0.5);
    EXPECT_EQ(session.WindowRect("PlumwickKaraoke").w, stopped);
    ASSERT_EQ(session.Send("TMS"), 0);
    SleepSeconds(0.5);
    EXPECT_GT(session.WindowRect("PlumwickKaraoke").w, stopped);
}

TEST_F(KaraokeSweep, CktClearsBothWindows) {
    ASSERT_EQ(session.Send("DLT 今日特价"), 0);
    ASSERT_EQ(session.Send("DKC今日特价||1||3000"), 0);
    SleepSeconds(1.5);
    Session::Rect main = session.WindowRect("PlumwickMainText");
    Session::Rect karaoke = session.WindowRect("PlumwickKaraoke");
    Image drawn = session.Screenshot();
    ASSERT_GT(CountNotDesktop(drawn, main.y, main.y + 60) + CountNotDesktop(drawn, karaoke.y, karaoke.y + 60), 500);

    ASSERT_EQ(session.Send("CKT"), 0);
    SleepSeconds(0.5);
    Image cleared = session.Screenshot();
    session.SaveScreenshot("karaoke-cleared");
    EXPECT_EQ(CountNotDesktop(cleared, main.y, main.y + 60), 0);
    EXPECT_EQ(CountNotDesktop(cleared, karaoke.y, karaoke.y + 60), 0);
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
}
