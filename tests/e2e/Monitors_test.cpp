// The display left alone for months: the taskbar at another edge, the shell's change messages, the
// customer's second monitor, and the end of the Windows session.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace plumwick::e2e;

namespace {

constexpr const char* kSettingChange = "26";   // WM_SETTINGCHANGE
constexpr const char* kWorkArea = "47";        // SPI_SETWORKAREA
constexpr const char* kDisplayChange = "126";  // WM_DISPLAYCHANGE
constexpr const char* kQueryEndSession = "17"; // WM_QUERYENDSESSION
constexpr const char* kEndSession = "22";      // WM_ENDSESSION
constexpr const char* kCloseApp = "1";         // ENDSESSION_CLOSEAPP
constexpr const char* kPower = "536";          // WM_POWERBROADCAST
constexpr const char* kResumeAutomatic = "18"; // PBT_APMRESUMEAUTOMATIC
constexpr const char* kSessionChange = "689";  // WM_WTSSESSION_CHANGE
constexpr const char* kUnlock = "8";           // WTS_SESSION_UNLOCK

std::string Text(const Session::Rect& r) {
    return std::to_string(r.x) + " " + std::to_string(r.y) + " " + std::to_string(r.w) + " " +
           std::to_string(r.h);
}

} // namespace

// Taskbar along the top: the line stands on the screen's bottom edge. The shell's messages with nothing
// changed move nothing, nor do resume and unlock; the end of the session is answered at once, and an
// installer's request to close ends the program, but not another process's posted copy of it.
TEST(Monitors, TaskbarAtTheTopAndTheShellsMessagesWithNothingChanged) {
    SessionOptions options;
    options.taskbarAtTop = true;
    Session session(options);
    ASSERT_TRUE(session.Start());
    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_EQ(main.y + main.h, 1080) << Text(main);
    EXPECT_EQ(main.w, 1920);
    Session::Rect panel = session.WindowRect("PlumwickSkinPanel");
    Session::Rect toolbar = session.WindowRect("PlumwickToolbar");

    for (const char* window : {"PlumwickSystemEvents", "PlumwickMainText"}) {
        // Its lParam is text, so the system only lets it be sent.
        session.Probe({"send", window, kSettingChange, kWorkArea, "0"});
        EXPECT_EQ(session.Probe({"post", window, "TaskbarCreated", "0", "0"}), "posted");
        EXPECT_EQ(session.Probe({"post", window, kDisplayChange, "32", "0"}), "posted");
    }
    // Sent, so they have been handled when it returns.
    session.Probe({"send", "PlumwickSystemEvents", kDisplayChange, "32", "0"});
    session.Probe({"send", "PlumwickSystemEvents", kPower, kResumeAutomatic, "0"});
    session.Probe({"send", "PlumwickSystemEvents", kSessionChange, kUnlock, "0"});
    EXPECT_EQ(session.Probe({"send", "PlumwickSystemEvents", kQueryEndSession, "0", "0"}), "1");
    EXPECT_EQ(Text(session.WindowRect("PlumwickMainText")), Text(main));
    EXPECT_EQ(Text(session.WindowRect("PlumwickSkinPanel")), Text(panel));
    EXPECT_EQ(Text(session.WindowRect("PlumwickToolbar")), Text(toolbar));

    // Another process's posted end of the session is a forgery (the system always sends it): nothing ends.
    EXPECT_EQ(session.Probe({"post", "PlumwickSystemEvents", kEndSession, "1", kCloseApp}), "posted");
    EXPECT_EQ(session.Send("DLT still here"), 0);
    EXPECT_TRUE(session.Running());
    // The Restart Manager's, sent, ends the program.
    session.Probe({"send", "PlumwickSystemEvents", kEndSession, "1", kCloseApp});
    EXPECT_TRUE(session.WaitForExit(5));
}

// The customer's monitor (Monitor=2, 1366x768, both at 0,0 under Xinerama): the display is laid out at
// its width with its bottom on its bottom; the operator's windows stay on the primary.
TEST(Monitors, ChosenMonitorTakesTheDisplay) {
    SessionOptions options;
    options.secondWidth = 1366;
    options.secondHeight = 768;
    Session session(options);
    {
        std::ofstream out(session.Folder() / "data/system/shop.ini", std::ios::binary | std::ios::app);
        out << "\r\nMonitor=2\r\n";
    }
    ASSERT_TRUE(session.Start());
    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_EQ(main.w, 1366) << Text(main);
    EXPECT_EQ(main.y + main.h, 768) << Text(main);
    Session::Rect panel = session.WindowRect("PlumwickSkinPanel");
    EXPECT_EQ(panel.w, 1366) << Text(panel);
    Session::Rect toolbar = session.WindowRect("PlumwickToolbar");
    EXPECT_EQ(toolbar.x, (1366 - toolbar.w) / 2) << Text(toolbar);

    // A display change with the same monitors moves nothing.
    session.Probe({"send", "PlumwickSystemEvents", kDisplayChange, "32", "0"});
    EXPECT_EQ(Text(session.WindowRect("PlumwickMainText")), Text(main));
}

// At 150 % the skin's pieces meet on whole pixels: a row through the panel below the toolbar shows the
// desktop nowhere, the right cap's seam (x 1860) included.
TEST(Monitors, NoSeeThroughSeamInThePanelAt144Dpi) {
    Session session(144);
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.WaitForAboutToClose());
    ASSERT_TRUE(session.PointAtLine());
    ASSERT_EQ(session.WaitFor(
                  {"visible", "PlumwickSkinPanel"}, [](const std::string& v) { return v == "1"; }, 5),
              "1");
    Session::Rect panel = session.WindowRect("PlumwickSkinPanel");
    Session::Rect main = session.WindowRect("PlumwickMainText");
    Session::Rect toolbar = session.WindowRect("PlumwickToolbar");
    int row = (toolbar.y + toolbar.h + main.y) / 2; // panel only: below the toolbar, above the text window
    ASSERT_GT(row, toolbar.y + toolbar.h);
    Image shot = session.Screenshot();
    std::string seen;
    for (int x = panel.x; x < panel.x + panel.w; ++x) {
        if (IsDesktop(shot.At(x, row))) {
            seen += std::to_string(x) + " ";
        }
    }
    EXPECT_EQ(seen, "") << "row " << row;
    if (!seen.empty()) {
        session.SaveScreenshot("seam-144");
    }
}

// The Windows session ends (wineboot sends the end-of-session messages to every window): the program
// answers at once and is gone within 5 s, its settings file whole.
TEST(Monitors, TheSessionsEndIsAnsweredAtOnceAndKeepsTheSettings) {
    Session session;
    ASSERT_TRUE(session.Start());
    std::filesystem::path settings = session.Folder() / "data/system/desktoplrc.pst";
    auto started = std::chrono::steady_clock::now();
    Shell(session.Env() + " timeout 20 wineboot --end-session >/dev/null 2>&1");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_TRUE(session.WaitForExit(5));
    std::ifstream in(settings);
    std::string fontName;
    EXPECT_TRUE(std::getline(in, fontName) && !fontName.empty());
}

// A sideways drag is where the operator left the line: unlocking does not put it back, and a placing
// again (here a DPI change at the same DPI) keeps the shift, the panel still across the screen.
TEST(Monitors, ASidewaysDragIsKeptThroughAnUnlockAndAPlacingAgain) {
    Session session;
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.WaitForAboutToClose());
    ASSERT_EQ(session.Send("DLT IIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIIII"), 0);
    Session::Rect main0 = session.WindowRect("PlumwickMainText");
    ASSERT_TRUE(session.PointAtLine());
    // The pointer is on a glyph: press there and pull right and up.
    int gx = 0, gy = 0;
    {
        std::string out = Shell(session.Env() + " xdotool getmouselocation --shell");
        std::sscanf(out.c_str(), "X=%d\nY=%d", &gx, &gy);
    }
    ASSERT_GT(gx, 0);
    const int kRight = 150, kUp = -60;
    Shell(session.Env() + " xdotool mousedown 1");
    for (int i = 1; i <= 5; ++i) {
        session.MovePointer(gx + kRight * i / 5, gy + kUp * i / 5);
        SleepSeconds(0.1);
    }
    Shell(session.Env() + " xdotool mouseup 1");
    Session::Rect main = session.WindowRect("PlumwickMainText");
    ASSERT_EQ(main.x - main0.x, kRight) << Text(main);
    ASSERT_EQ(main.y - main0.y, kUp) << Text(main);
    session.MovePointer(2, 2);

    session.Probe({"send", "PlumwickSystemEvents", kSessionChange, kUnlock, "0"});
    EXPECT_EQ(Text(session.WindowRect("PlumwickMainText")), Text(main));
    EXPECT_EQ(session.Probe({"send", "PlumwickMainText", "0x2E0", "0x00600060", "0"}), "0");
    EXPECT_EQ(Text(session.WindowRect("PlumwickMainText")), Text(main));
    EXPECT_EQ(session.WindowRect("PlumwickKaraoke").x, main.x);
    EXPECT_EQ(session.WindowRect("PlumwickSkinPanel").x, 0);
}
