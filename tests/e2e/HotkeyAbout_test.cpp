// The unlock hotkey and the about window, driven as a user and other programs drive them.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace plumwick::e2e;

namespace {

constexpr long long kTransparent = 0x20;
constexpr long long kLayered = 0x80000;
constexpr long long kTopmost = 0x8;
constexpr long long kToolWindow = 0x80;

// The about window: 518 x 330, centred on the 1920 x 1080 screen; its close spot 25 x 20 at 472, 0.
constexpr int kAboutX = (1920 - 518) / 2;
constexpr int kAboutY = (1080 - 330) / 2;
constexpr int kCloseSpotX = kAboutX + 472 + 12;
constexpr int kCloseSpotY = kAboutY + 10;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool Locked(Session& session, const std::string& cls) {
    long long ex = session.ExStyle(cls);
    return ex >= 0 && (ex & kTransparent) != 0;
}

bool Unlocked(Session& session, const std::string& cls) {
    long long ex = session.ExStyle(cls);
    return ex >= 0 && (ex & kTransparent) == 0 && (ex & kLayered) != 0 && (ex & kTopmost) != 0;
}

// The about window's opacity: 0..255, or -1 once the window is gone.
int AboutAlpha(Session& session) {
    std::string out = session.Probe({"alpha", "PlumwickAbout"});
    if (out.empty() || out.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    return std::atoi(out.c_str());
}

// Polls until the about window is fully opaque; the seconds waited, or a negative number on timeout.
double WaitForFullOpacity(Session& session, double timeoutSeconds) {
    Clock::time_point start = Clock::now();
    while (SecondsSince(start) < timeoutSeconds) {
        if (AboutAlpha(session) == 255) {
            return SecondsSince(start);
        }
        SleepSeconds(0.05);
    }
    return -1;
}

// A PNG read through ImageMagick, in the same layout as a screenshot.
Image ReadPng(const std::filesystem::path& png) {
    Image image;
    std::string out = Shell("convert '" + png.string() + "' ppm:- 2>/dev/null");
    std::istringstream header(out);
    std::string magic;
    int maxValue = 0;
    header >> magic >> image.width >> image.height >> maxValue;
    std::size_t offset = static_cast<std::size_t>(header.tellg()) + 1;
    std::size_t size = static_cast<std::size_t>(image.width) * image.height * 3;
    if (magic != "P6" || maxValue != 255 || out.size() < offset + size) {
        return {};
    }
    image.rgb.assign(out.begin() + static_cast<std::ptrdiff_t>(offset),
                     out.begin() + static_cast<std::ptrdiff_t>(offset + size));
    return image;
}

// Home page: the shell opens a web address with the browser Wine is told of, here a script that appends
// one line per opening, naming what it was given, to a marker file. `homePage` is shop.ini's HomePage.
// (This Wine prefix has no program for .html files, so a page of the program folder or the bundled help
// opens nothing that could be seen.)
class HomePageMarker {
  public:
    explicit HomePageMarker(Session& session, const std::string& homePage = "http://home.example/shop")
        : marker_(session.Folder() / "home-opened.txt") {
        std::filesystem::path browser = session.Folder() / "browser.sh";
        {
            std::ofstream script(browser, std::ios::binary);
            script << "#!/bin/sh\necho \"opened $*\" >>'" << marker_.string() << "'\n";
        }
        std::filesystem::permissions(browser, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        Shell(session.Env() + " wine reg add 'HKCU\\Software\\Wine\\WineBrowser' /v Browsers /d '" +
              browser.string() + "' /f >/dev/null 2>&1");
        // A program beside it, which a HomePage naming it must never run.
        std::string folder = WinePath(session.Folder());
        std::ofstream bat(session.Folder() / "home.bat", std::ios::binary);
        bat << "@echo off\r\necho ran-the-program>>" << folder << "\\home-opened.txt\r\n";
        std::ofstream ini(session.Folder() / "data/system/shop.ini", std::ios::binary);
        ini << "ShopName=Marker Shop\r\nWebAddress=www.example.test\r\nHomePage=" << homePage << "\r\n";
    }
    int Openings() const {
        std::ifstream in(marker_);
        int lines = 0;
        for (std::string line; std::getline(in, line);) {
            lines += line.rfind("opened", 0) == 0;
        }
        return lines;
    }
    // Every line the marker holds: what the browser was given, or a program that ran.
    std::string Log() const { return ReadAll(marker_); }
    bool WaitForOpenings(int count, double timeoutSeconds) const {
        for (double waited = 0; waited <= timeoutSeconds; waited += 0.1) {
            if (Openings() >= count) {
                return true;
            }
            SleepSeconds(0.1);
        }
        return false;
    }
    static std::string WinePath(const std::filesystem::path& path) {
        std::string out = "Z:" + path.string();
        for (char& c : out) {
            c = c == '/' ? '\\' : c;
        }
        return out;
    }

  private:
    std::filesystem::path marker_;
};

} // namespace

TEST(Hotkey, CtrlAltWUnlocksALockedDisplayUntilTheProgramEnds) {
    Session session;
    ASSERT_TRUE(session.Start());
    ASSERT_EQ(session.Send("LOK"), 0);
    ASSERT_TRUE(Locked(session, "PlumwickMainText"));
    ASSERT_TRUE(Locked(session, "PlumwickKaraoke"));

    // Another hotkey identifier reaches the toolbar but unlocks nothing.
    EXPECT_EQ(session.Probe({"post", "PlumwickToolbar", "0x312", "2", "0"}), "posted");
    SleepSeconds(0.5);
    EXPECT_TRUE(Locked(session, "PlumwickMainText"));
    EXPECT_TRUE(Locked(session, "PlumwickKaraoke"));

    // The real key press, through the X server.
    session.PressKeys("ctrl+alt+w");
    for (double waited = 0; waited < 3 && !Unlocked(session, "PlumwickMainText"); waited += 0.2) {
        SleepSeconds(0.2);
    }
    if (!Unlocked(session, "PlumwickMainText")) {
        ADD_FAILURE() << "Ctrl+Alt+W did not unlock; checking the hotkey message itself";
        session.Probe({"post", "PlumwickToolbar", "0x312", "1", "0"});
        SleepSeconds(0.5);
    }
    EXPECT_TRUE(Unlocked(session, "PlumwickMainText"));
    EXPECT_TRUE(Unlocked(session, "PlumwickKaraoke"));

    // Locked again, the hotkey message alone (as the system posts it) unlocks again.
    ASSERT_EQ(session.Send("LOK"), 0);
    ASSERT_TRUE(Locked(session, "PlumwickKaraoke"));
    EXPECT_EQ(session.Probe({"post", "PlumwickToolbar", "0x312", "1", "0"}), "posted");
    SleepSeconds(0.5);
    EXPECT_TRUE(Unlocked(session, "PlumwickMainText"));
    EXPECT_TRUE(Unlocked(session, "PlumwickKaraoke"));

    // Behind the hook the toolbar's own procedure still answers: WM_GETTEXTLENGTH of "FrmSet".
    EXPECT_EQ(session.Probe({"send", "PlumwickToolbar", "0x0E", "0", "0"}), "6");

    // END removes the hotkey and the process ends at once.
    session.Send("END");
    EXPECT_TRUE(session.WaitForExit(10));
}

TEST(About, FadesInHoldsFiveSecondsFadesOutAndCloses) {
    Session session;
    ASSERT_TRUE(session.Start());
    Clock::time_point start = Clock::now();

    struct Sample {
        double t;
        int alpha;
    };
    std::vector<Sample> samples;
    bool checkedLook = false;
    while (SecondsSince(start) < 15) {
        int alpha = AboutAlpha(session);
        samples.push_back({SecondsSince(start), alpha});
        if (alpha < 0 && samples.size() > 1 && samples[samples.size() - 2].alpha >= 0) {
            break;
        }
        if (alpha == 255 && !checkedLook) {
            checkedLook = true;
            Session::Rect rect = session.WindowRect("PlumwickAbout");
            EXPECT_EQ(rect.x, kAboutX);
            EXPECT_EQ(rect.y, kAboutY);
            EXPECT_EQ(rect.w, 518);
            EXPECT_EQ(rect.h, 330);
            long long ex = session.ExStyle("PlumwickAbout");
            EXPECT_EQ(ex & (kLayered | kToolWindow | kTopmost), kLayered | kToolWindow | kTopmost);
            EXPECT_NE(session.WindowLine("PlumwickAbout").find("|frmAbout|1|"), std::string::npos);
            EXPECT_NE(session.Probe({"foreground"}), "PlumwickAbout") << "the splash took the focus";

            // The picture is shown as it is, above the display's own (topmost) welcome line.
            Image shot = session.Screenshot();
            Image picture = ReadPng(SourceDir() / "about/res/about.png");
            ASSERT_EQ(picture.width, 518);
            int matching = 0;
            for (int y = 0; y < picture.height; ++y) {
                for (int x = 0; x < picture.width; ++x) {
                    Rgb p = picture.At(x, y), s = shot.At(kAboutX + x, kAboutY + y);
                    matching +=
                        std::abs(p.r - s.r) <= 6 && std::abs(p.g - s.g) <= 6 && std::abs(p.b - s.b) <= 6;
                }
            }
            EXPECT_GT(matching, picture.width * picture.height * 99 / 100);
            session.SaveScreenshot("about-hold");
        }
        SleepSeconds(0.03);
    }

    // Rising in steps of 5, a hold at 255, falling in steps of 5, then gone. The samples come as fast as
    // the probe starts, which a busy machine slows: each figure is bounded by the samples on both sides,
    // so that only what the samples prove is held against the limits.
    double firstFull = -1, lastFull = -1, gone = -1;
    double beforeFull = 0;   // the last sample before the hold (the hold began after it)
    double afterFull = -1;   // the first sample after the hold (the hold had ended by then)
    double lastVisible = -1; // the last sample that still saw the window
    int previous = -1;
    bool rising = true;
    int fallingSteps = 0;
    for (const Sample& s : samples) {
        if (s.alpha < 0) {
            if (firstFull >= 0 && gone < 0) {
                gone = s.t;
            }
            continue;
        }
        lastVisible = s.t;
        EXPECT_EQ(s.alpha % 5, 0) << "at " << s.t << " s";
        if (s.alpha == 255) {
            if (firstFull < 0) {
                firstFull = s.t;
            }
            EXPECT_TRUE(rising || previous == 255) << "opaque again after falling, at " << s.t << " s";
            lastFull = s.t;
        } else if (firstFull >= 0) {
            if (afterFull < 0) {
                afterFull = s.t;
            }
            rising = false;
            ++fallingSteps;
            EXPECT_LE(s.alpha, previous) << "at " << s.t << " s";
        } else {
            beforeFull = s.t;
            EXPECT_GE(s.alpha, previous) << "at " << s.t << " s";
        }
        previous = s.alpha;
    }
    std::cout << "about: opaque " << firstFull << " s after start-up, held " << lastFull - firstFull << " to "
              << afterFull - beforeFull << " s, " << fallingSteps << " falling samples, gone "
              << gone - lastFull << " s after the hold\n";
    ASSERT_GE(firstFull, 0) << "never fully opaque";
    EXPECT_LT(firstFull, 5.0);
    // The hold lasted at least lastFull - firstFull and at most afterFull - beforeFull: five seconds.
    EXPECT_LT(lastFull - firstFull, 5.8) << "held too long";
    ASSERT_GE(fallingSteps, 1) << "no fade-out seen";
    EXPECT_GT(afterFull - beforeFull, 4.0) << "held too short";
    ASSERT_GE(gone, 0) << "the about window did not close";
    // The fade-out lasted at least from the first falling sample to the last that saw the window.
    EXPECT_LT(lastVisible - afterFull, 2.5);
    EXPECT_EQ(session.WindowLine("PlumwickAbout"), "");
    EXPECT_TRUE(session.Running());
}

TEST(About, PictureClickOpensTheHomePageAndTheFadeGoesOn) {
    Session session;
    HomePageMarker home(session);
    EXPECT_TRUE(std::filesystem::exists(session.Folder() / "help/index.html"))
        << "bundled home page not staged";
    ASSERT_TRUE(session.Start());
    ASSERT_GE(WaitForFullOpacity(session, 8), 0);
    Clock::time_point held = Clock::now();

    session.Probe({"mouse", std::to_string(kAboutX + 150), std::to_string(kAboutY + 250), "click"});
    EXPECT_TRUE(home.WaitForOpenings(1, 4)) << "the home page was not opened";
    if (SecondsSince(held) < 4) {
        EXPECT_EQ(AboutAlpha(session), 255) << "the hold was disturbed";
    }
    // It still closes by itself, after the hold and the fade-out.
    for (double waited = 0; waited < 10 && AboutAlpha(session) >= 0; waited += 0.2) {
        SleepSeconds(0.2);
    }
    EXPECT_EQ(AboutAlpha(session), -1);
    EXPECT_GT(SecondsSince(held), 4.5);
    EXPECT_EQ(home.Openings(), 1);
    EXPECT_NE(home.Log().find("http://home.example/shop"), std::string::npos) << home.Log();
}

TEST(About, AHomePageThatNamesAProgramNeverRunsItAndSaysWhy) {
    Session session;
    HomePageMarker home(session, HomePageMarker::WinePath(session.Folder()) + "\\home.bat");
    ASSERT_TRUE(session.Start());
    std::string list = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find(" PlumwickNotice|") != std::string::npos; });
    EXPECT_NE(list.find(" PlumwickNotice|"), std::string::npos) << "no notice: " << list;
    ASSERT_GE(WaitForFullOpacity(session, 8), 0);
    session.Probe({"mouse", std::to_string(kAboutX + 150), std::to_string(kAboutY + 250), "click"});
    SleepSeconds(3);
    EXPECT_EQ(home.Log().find("ran-the-program"), std::string::npos) << home.Log();
    EXPECT_TRUE(session.Running());
}

TEST(About, CloseSpotClosesItEarlyAndOpensTheHomePage) {
    Session session;
    HomePageMarker home(session);
    ASSERT_TRUE(session.Start());
    ASSERT_GE(WaitForFullOpacity(session, 8), 0);
    Clock::time_point held = Clock::now();

    session.Probe({"mouse", std::to_string(kCloseSpotX), std::to_string(kCloseSpotY), "click"});
    Clock::time_point clicked = Clock::now();
    long long ex = session.ExStyle("PlumwickAbout");
    if (ex >= 0) {
        EXPECT_EQ(ex & kTopmost, 0) << "still topmost while fading out";
    }
    double gone = -1;
    while (SecondsSince(clicked) < 4) {
        if (AboutAlpha(session) < 0) {
            gone = SecondsSince(clicked);
            break;
        }
        SleepSeconds(0.05);
    }
    ASSERT_GE(gone, 0) << "the about window did not close";
    EXPECT_LT(gone, 2.0);
    EXPECT_LT(SecondsSince(held), 4.0) << "closed no earlier than the hold would have ended";
    EXPECT_TRUE(home.WaitForOpenings(1, 4)) << "the close spot did not open the home page";
    EXPECT_TRUE(session.Running());
}
