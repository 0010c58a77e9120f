// The skin strip behind the text: brought up by the pointer over the line, gone when it leaves, dragged up
// and down with the whole display, and empty rather than broken when its pictures are missing.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace plumwick::e2e;

namespace {

constexpr char kPanel[] = "PlumwickSkinPanel";
constexpr char kMain[] = "PlumwickMainText";
constexpr char kKaraoke[] = "PlumwickKaraoke";
constexpr char kToolbar[] = "PlumwickToolbar";
constexpr int kPanelHeight = 127; // 1905 twips

// Width and height of a PNG, through ImageMagick.
std::pair<int, int> PngSize(const std::filesystem::path& png) {
    int width = 0, height = 0;
    std::sscanf(Shell("/usr/bin/identify -format '%w %h' '" + png.string() + "' 2>/dev/null").c_str(),
                "%d %d", &width, &height);
    return {width, height};
}

// Columns of the strip that neither the welcome line, the toolbar, the about window nor the content
// manager can cover on the 1920-pixel test screen.
const std::vector<int> kClearColumns{2, 20, 100, 300, 500, 1400, 1600, 1800, 1900, 1917};

// Pixels of the line's face colour (scheme 1, deep blue) in the left part of the welcome line, clear of
// the about window's splash.
int CountFace(const Image& image, int mainTop) {
    int count = 0;
    for (int y = mainTop; y < mainTop + 60; ++y) {
        for (int x = 400; x < 690; ++x) {
            Rgb c = image.At(x, y);
            if (c.r < 40 && c.b > 120 && c.b > c.g) {
                ++count;
            }
        }
    }
    return count;
}

// The panel's top for the main window's: (1905 - 36 x 15) / 3 = 455 twips above it, snapped to a pixel.
int ExpectedPanelTop(int mainTopPx) {
    return static_cast<int>(std::nearbyint((mainTopPx * 15.0 - 455.0) / 15.0));
}

class SkinPanel : public ::testing::Test {
  protected:
    void StartDisplay() {
        ASSERT_TRUE(session.Start()) << "the display did not start";
        SleepSeconds(1.0); // the welcome line is drawn and the hover watch runs
    }

    void Hover() {
        // Left of the about window's splash, which covers the middle of the line at start-up.
        ASSERT_TRUE(session.PointAtLine(400, 690)) << "no glyph of the welcome line found";
        auto up = [](const std::string& v) { return v == "1"; };
        std::string shown = session.WaitFor({"visible", kPanel}, up, 5);
        ASSERT_EQ(shown, "1") << "the panel did not come up over the text";
    }

    void Xdotool(const std::string& args) { Shell(session.Env() + " xdotool " + args); }

    Session session;
};

} // namespace

TEST_F(SkinPanel, ComesUpOverTheTextAtItsPlaceAndGoesWhenThePointerLeaves) {
    StartDisplay();
    EXPECT_FALSE(session.Visible(kPanel)) << "created hidden";
    long long style = session.ExStyle(kPanel);
    EXPECT_EQ(style & 0x80088, 0x80088) << "layered, topmost tool window";
    EXPECT_NE(session.WindowLine(kMain).find("|PlumwickSkinPanel"), std::string::npos)
        << "the main window is owned by the panel";

    int faceBefore = CountFace(session.Screenshot(), session.WindowRect(kMain).y);
    Hover();
    EXPECT_TRUE(session.Visible(kToolbar));
    Session::Rect main = session.WindowRect(kMain);
    Session::Rect panel = session.WindowRect(kPanel);
    EXPECT_EQ(panel.x, 0);
    EXPECT_EQ(panel.w, 1920);
    EXPECT_EQ(panel.h, kPanelHeight);
    EXPECT_EQ(panel.y, ExpectedPanelTop(main.y)) << "main top " << main.y;
    EXPECT_EQ(main.y - panel.y, 30);

    SleepSeconds(0.3);
    Image shot = session.Screenshot();
    session.SaveScreenshot("skinpanel-shown");
    // The strip: drawn across its middle, from the left cap to the right cap.
    int middleRow = panel.y + 55;
    for (int x : kClearColumns) {
        EXPECT_FALSE(IsDesktop(shot.At(x, middleRow))) << "nothing drawn at x " << x;
    }
    // Around it the desktop shows unchanged: above the panel, and below the pieces (the caps are drawn
    // 2 px taller than left.png).
    int capHeight = PngSize(session.Folder() / "data/system/left.png").second + 2;
    ASSERT_GT(capHeight, 60);
    for (int x : kClearColumns) {
        EXPECT_TRUE(IsDesktop(shot.At(x, panel.y - 2))) << "above, x " << x;
        if (capHeight + 2 < kPanelHeight) {
            EXPECT_TRUE(IsDesktop(shot.At(x, panel.y + capHeight + 2))) << "below, x " << x;
        }
    }
    // The line stays above the strip: as many pixels of its face colour show as without the strip.
    EXPECT_GT(faceBefore, 200);
    EXPECT_GE(CountFace(shot, main.y), faceBefore * 9 / 10) << "the strip covers the line";

    // The pointer leaves the display: panel and toolbar go within a few hundred milliseconds.
    session.MovePointer(100, 100);
    auto left = std::chrono::steady_clock::now();
    auto down = [](const std::string& v) { return v == "0"; };
    std::string visible = session.WaitFor({"visible", kPanel}, down, 3);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - left).count();
    EXPECT_EQ(visible, "0");
    // Each probe is a Wine process start of its own (about 0.2 s); the watch itself ticks every 100 ms.
    EXPECT_LT(seconds, 1.0);
    RecordProperty("hidden_after_ms", static_cast<int>(seconds * 1000));
    EXPECT_FALSE(session.Visible(kToolbar));
    SleepSeconds(0.3);
    Image gone = session.Screenshot();
    for (int x : kClearColumns) {
        EXPECT_TRUE(IsDesktop(gone.At(x, middleRow))) << "left behind at x " << x;
    }

    // Back over the text, it comes up again.
    Hover();
}

TEST_F(SkinPanel, DragMovesTheDisplayVerticallyOnlyAndTakesNoFocus) {
    StartDisplay();
    Hover();
    Session::Rect main0 = session.WindowRect(kMain);
    Session::Rect panel0 = session.WindowRect(kPanel);
    Session::Rect toolbar0 = session.WindowRect(kToolbar);
    ASSERT_EQ(main0.y - panel0.y, 30);
    std::string foreground = session.Probe({"foreground"});

    // Grab the strip above the main window's top, where only the panel lies, and pull it down and to the
    // left, staying on the strip. Any button drags; two are tried, one after the other.
    int grabX = 1700, grabY = panel0.y + 12;
    struct Pull {
        int button;
        int steps;
    };
    for (Pull pull : {Pull{1, 8}, Pull{3, 6}}) {
        Session::Rect before = session.WindowRect(kPanel);
        session.MovePointer(grabX, grabY);
        SleepSeconds(0.2);
        ASSERT_TRUE(session.Visible(kPanel));
        Xdotool("mousedown " + std::to_string(pull.button));
        for (int i = 1; i <= pull.steps; ++i) {
            session.MovePointer(grabX - 20 * i, grabY + 6 * i);
            SleepSeconds(0.05);
        }
        Xdotool("mouseup " + std::to_string(pull.button));
        SleepSeconds(0.3);
        Session::Rect after = session.WindowRect(kPanel);
        EXPECT_GT(after.y, before.y) << "button " << pull.button << " did not drag the panel";
        EXPECT_EQ(after.x, 0);
        grabY = after.y + 12;
    }
    // Pressing on the strip never takes the focus from whatever program had it.
    EXPECT_EQ(session.Probe({"foreground"}), foreground);
    EXPECT_NE(foreground, kPanel);
    // A move at rest lines the karaoke window up with the main window again.
    session.MovePointer(grabX, grabY);
    SleepSeconds(0.3);

    Session::Rect main = session.WindowRect(kMain);
    Session::Rect panel = session.WindowRect(kPanel);
    Session::Rect karaoke = session.WindowRect(kKaraoke);
    Session::Rect toolbar = session.WindowRect(kToolbar);
    session.SaveScreenshot("skinpanel-dragged");
    EXPECT_GT(panel.y, panel0.y + 5);
    EXPECT_EQ(panel.x, 0);
    EXPECT_EQ(main.x, main0.x) << "the panel never moves the display sideways";
    EXPECT_EQ(toolbar.x, toolbar0.x);
    // The companions followed. Within one move they run ahead of the panel by that move's pointer
    // displacement taken as twips (a few pixels at most here).
    EXPECT_NEAR(main.y - panel.y, 30, 3);
    EXPECT_NEAR(toolbar.y + toolbar.h / 2, panel.y, 3) << "the toolbar's middle sits on the panel's top";
    EXPECT_EQ(karaoke.x, main.x);
    EXPECT_EQ(karaoke.y, main.y);
}

struct MissingPieces {
    const char* name;
    std::vector<std::string> removed;   // files under data/system
    std::vector<std::string> corrupted; // replaced by bytes that are no picture
    bool leftDrawn, middleDrawn, rightDrawn;
};

class SkinPanelPictures : public SkinPanel, public ::testing::WithParamInterface<MissingPieces> {};

TEST_P(SkinPanelPictures, MissingOrBrokenPicturesLeaveTheirPartEmptyWithoutAMessage) {
    const MissingPieces& c = GetParam();
    int capWidth = PngSize(session.Folder() / "data/system/left.png").first;
    ASSERT_GT(capWidth, 2);
    for (const std::string& file : c.removed) {
        std::filesystem::remove(session.Folder() / "data/system" / file);
    }
    for (const std::string& file : c.corrupted) {
        std::ofstream broken(session.Folder() / "data/system" / file, std::ios::binary | std::ios::trunc);
        broken << "\x89PNG not";
    }
    StartDisplay();
    Hover();
    Session::Rect panel = session.WindowRect(kPanel);
    EXPECT_EQ(panel.w, 1920);
    EXPECT_EQ(panel.y, ExpectedPanelTop(session.WindowRect(kMain).y));
    SleepSeconds(0.3);
    Image shot = session.Screenshot();
    session.SaveScreenshot(std::string("skinpanel-") + c.name);
    int row = panel.y + 55;
    for (int x : kClearColumns) {
        bool expected = x < capWidth ? c.leftDrawn : x >= 1920 - capWidth ? c.rightDrawn : c.middleDrawn;
        EXPECT_EQ(!IsDesktop(shot.At(x, row)), expected) << "x " << x;
    }
    EXPECT_EQ(session.Probe({"dialogs"}), "") << "no message for a missing picture";
    EXPECT_TRUE(session.Running());
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
}

INSTANTIATE_TEST_SUITE_P(Skin, SkinPanelPictures,
                         ::testing::Values(
                             // Every piece takes its size from the left cap: without it nothing is visible.
                             MissingPieces{"no-left", {"left.png"}, {}, false, false, false},
                             MissingPieces{"broken-left", {}, {"left.png"}, false, false, false},
                             MissingPieces{
                                 "no-middle-broken-right", {"mid.png"}, {"right.png"}, true, false, false},
                             MissingPieces{"no-right", {"right.png"}, {}, true, true, false}),
                         [](const ::testing::TestParamInfo<MissingPieces>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 if (ch == '-') {
                                     ch = '_';
                                 }
                             }
                             return name;
                         });
