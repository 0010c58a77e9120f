// The display at 150 % scaling (144 DPI): every window keeps its share of the screen, drawn at the
// screen's own resolution; and a DPI change lays it out again.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

using namespace plumwick::e2e;

namespace {

struct Child {
    std::string cls, text;
    Session::Rect rect;
};

// "hwnd class|text|x y w h|visible|checked" lines of plumwick-probe children.
std::vector<Child> Children(Session& session, const std::string& window) {
    std::vector<Child> children;
    std::istringstream lines(session.Probe({"children", window}));
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t space = line.find(' '), bar1 = line.find('|'), bar2 = line.find('|', bar1 + 1);
        if (space == std::string::npos || bar2 == std::string::npos) {
            continue;
        }
        Child child;
        child.cls = line.substr(space + 1, bar1 - space - 1);
        child.text = line.substr(bar1 + 1, bar2 - bar1 - 1);
        std::istringstream rect(line.substr(bar2 + 1));
        rect >> child.rect.x >> child.rect.y >> child.rect.w >> child.rect.h;
        children.push_back(child);
    }
    return children;
}

const Child* Find(const std::vector<Child>& children, const std::string& cls, const std::string& textStart) {
    for (const Child& child : children) {
        if (child.cls == cls && child.text.rfind(textStart, 0) == 0) {
            return &child;
        }
    }
    return nullptr;
}

bool Overlap(const Session::Rect& a, const Session::Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Rows of the main window's band that hold the line's letters (anything but the desktop) near the centre.
int InkRows(const Image& shot, int top, int bottom) {
    int rows = 0;
    for (int y = top; y < bottom; ++y) {
        bool ink = false;
        for (int x = 900; x < 1020 && !ink; ++x) {
            ink = !IsDesktop(shot.At(x, y));
        }
        rows += ink ? 1 : 0;
    }
    return rows;
}

// A session with the display up and the splash gone.
void StartDisplay(Session& session) {
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.WaitForAboutToClose());
}

int LineHeight(Session& session, const std::string& shotName) {
    EXPECT_EQ(session.Send("DLT I"), 0);
    SleepSeconds(0.6);
    Session::Rect main = session.WindowRect("PlumwickMainText");
    // The content manager stands in the middle of the screen, below the line.
    Session::Rect content = session.WindowRect("PlumwickContentManager");
    Image shot = session.Screenshot();
    session.SaveScreenshot(shotName);
    return InkRows(shot, main.y, std::min(main.y + 200, content.y));
}

} // namespace

TEST(Scaling, At144DpiTheDisplayWindowsAreOneAndAHalfTimesTheirDesignSize) {
    int lineAt96 = 0;
    {
        Session session;
        StartDisplay(session);
        lineAt96 = LineHeight(session, "scaling-96-line");
    }
    Session session(144);
    ASSERT_TRUE(session.Start());
    // The splash first: its 518 x 330 picture at 150 %, centred.
    Session::Rect about = session.WindowRect("PlumwickAbout");
    EXPECT_EQ(about.w, 777);
    EXPECT_EQ(about.h, 495);
    EXPECT_NEAR(about.x + about.w / 2, 960, 1);
    ASSERT_TRUE(session.WaitForAboutToClose());
    Session::WorkArea work = session.GetWorkArea();
    ASSERT_LT(work.bottom, 1080);

    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_EQ(main.x, 0);
    EXPECT_EQ(main.w, 1920);
    EXPECT_EQ(main.h, 969); // 646 x 1.5
    EXPECT_EQ(main.y + main.h, work.bottom);
    Session::Rect karaoke = session.WindowRect("PlumwickKaraoke");
    EXPECT_EQ(karaoke.x, main.x);
    EXPECT_EQ(karaoke.y, main.y);
    EXPECT_EQ(karaoke.h, 166); // 111 x 1.5, halves to even
    Session::Rect panel = session.WindowRect("PlumwickSkinPanel");
    EXPECT_EQ(panel.w, 1920);
    EXPECT_EQ(panel.h, 190); // 127 x 1.5, halves to even
    // (1905 - 36 x 15) / 3 = 455 twips above the main window: 45.5 pixels at 144 DPI.
    EXPECT_NEAR(main.y - panel.y, 46, 1);
    Session::Rect toolbar = session.WindowRect("PlumwickToolbar");
    EXPECT_EQ(toolbar.w, 588);
    EXPECT_EQ(toolbar.h, 54);
    EXPECT_NEAR(toolbar.x + toolbar.w / 2, 960, 1);
    EXPECT_NEAR(toolbar.y + toolbar.h / 2, panel.y, 1);

    // FontSize 36 draws 54-pixel letters: the line is half as tall again as at 96 DPI.
    int lineAt144 = LineHeight(session, "scaling-144-line");
    EXPECT_GT(lineAt96, 20);
    EXPECT_NEAR(static_cast<double>(lineAt144) / lineAt96, 1.5, 0.15) << lineAt96 << " rows at 96 DPI";

    // The pointer on the letter brings up the panel and the toolbar, their pictures drawn at 144 DPI.
    // The window takes the pointer only where it has drawn.
    Image shot = session.Screenshot();
    int gx = -1, gy = -1;
    for (int y = main.y + 10; y < main.y + 80 && gx < 0; ++y) {
        for (int x = 900; x < 1020 && gx < 0; ++x) {
            bool solid = true;
            for (int d = -2; d <= 2 && solid; ++d) {
                solid = !IsDesktop(shot.At(x + d, y)) && !IsDesktop(shot.At(x, y + d));
            }
            if (solid) {
                gx = x;
                gy = y;
            }
        }
    }
    ASSERT_GE(gx, 0) << "no letter found";
    session.MovePointer(gx, gy);
    session.MovePointer(gx + 1, gy);
    session.WaitFor(
        {"visible", "PlumwickSkinPanel"}, [](const std::string& v) { return v == "1"; }, 5);
    SleepSeconds(0.5);
    EXPECT_TRUE(session.Visible("PlumwickSkinPanel"));
    EXPECT_TRUE(session.Visible("PlumwickToolbar"));
    session.SaveScreenshot("scaling-144-hover");

    // The content manager's controls and their fonts grow together: the interval field sits in the label's
    // gap, and nothing else overlaps.
    std::vector<Child> children = Children(session, "PlumwickContentManager");
    const Child* label = Find(children, "Static", "信息更换间隔");
    const Child* field = Find(children, "Edit", "");
    const Child* ok = Find(children, "Button", "确定");
    const Child* split = Find(children, "Button", "双回车符分列");
    ASSERT_TRUE(label && field && ok && split);
    EXPECT_EQ(field->rect.x - label->rect.x, 204); // (2280 - 240) twips at 144 DPI
    EXPECT_EQ(ok->rect.x - label->rect.x, 348);    // (3720 - 240) twips
    EXPECT_EQ(split->rect.w, 170);                 // 1695 twips, halves to even
    EXPECT_FALSE(Overlap(field->rect, ok->rect));
    EXPECT_FALSE(Overlap(ok->rect, split->rect));
    EXPECT_FALSE(Overlap(label->rect, split->rect));
    session.SaveScreenshot("scaling-144-content");
}

TEST(Scaling, ADpiChangeLaysTheDisplayOutAgainAtTheNewDpi) {
    // A 4K screen, where 200 % is the usual scaling; at 192 DPI the display's design needs more than 1080
    // rows.
    Session session(144, 3840, 2160);
    StartDisplay(session);
    Session::WorkArea work = session.GetWorkArea();
    // WM_DPICHANGED to 192 DPI, as the system sends it to each window when the scaling changes; from
    // another process it carries no suggested rectangle.
    for (const char* window :
         {"PlumwickMainText", "PlumwickKaraoke", "PlumwickSkinPanel", "PlumwickToolbar"}) {
        EXPECT_EQ(session.Probe({"send", window, "0x2E0", "0x00C000C0", "0"}), "0") << window;
    }
    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_EQ(main.w, 3840);
    EXPECT_EQ(main.h, 1292); // 646 x 2
    EXPECT_EQ(main.y + main.h, work.bottom);
    Session::Rect karaoke = session.WindowRect("PlumwickKaraoke");
    EXPECT_EQ(karaoke.h, 222);
    Session::Rect panel = session.WindowRect("PlumwickSkinPanel");
    EXPECT_EQ(panel.h, 254);
    EXPECT_NEAR(main.y - panel.y, 61, 1); // 455 twips at 192 DPI
    Session::Rect toolbar = session.WindowRect("PlumwickToolbar");
    EXPECT_EQ(toolbar.w, 784);
    EXPECT_EQ(toolbar.h, 72);
    EXPECT_NEAR(toolbar.x + toolbar.w / 2, 1920, 1);
    EXPECT_NEAR(toolbar.y + toolbar.h / 2, panel.y, 1);
    // The line is drawn again at the new size, and the program still takes commands.
    EXPECT_EQ(session.Send("DLT I"), 0);
    EXPECT_TRUE(session.Running());
    session.SaveScreenshot("scaling-192-relaid");
}

namespace {

// Rows of a rectangle's columns left..right that hold dark (text) pixels.
int DarkRows(const Image& shot, const Session::Rect& r, int right) {
    int rows = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
        bool dark = false;
        for (int x = r.x; x < right && !dark; ++x) {
            Rgb c = shot.At(x, y);
            dark = c.r + c.g + c.b < 240;
        }
        rows += dark ? 1 : 0;
    }
    return rows;
}

} // namespace

// The content manager open while the scaling goes from 100 % to 200 %: its controls, their fonts and the
// list are laid out again at the new DPI, and the window grows to hold them.
TEST(Scaling, TheContentManagerLaysItselfOutAgainOnADpiChange) {
    Session session;
    ASSERT_TRUE(session.Start());
    ASSERT_EQ(session.WaitFor(
                  {"visible", "PlumwickContentManager"}, [](const std::string& v) { return v == "1"; }, 10),
              "1");
    std::vector<Child> before = Children(session, "PlumwickContentManager");
    const Child* label = Find(before, "Static", "信息更换间隔");
    const Child* field = Find(before, "Edit", "");
    const Child* entry = Find(before, "Button", "welcome.txt");
    ASSERT_TRUE(label && field && entry);
    EXPECT_EQ(field->rect.x - label->rect.x, 136); // (2280 - 240) twips at 96 DPI
    int textBefore = DarkRows(session.Screenshot(), label->rect, field->rect.x);
    Session::Rect window = session.WindowRect("PlumwickContentManager");

    EXPECT_EQ(session.Probe({"send", "PlumwickContentManager", "0x2E0", "0x00C000C0", "0"}), "0");
    std::vector<Child> after = Children(session, "PlumwickContentManager");
    label = Find(after, "Static", "信息更换间隔");
    field = Find(after, "Edit", "");
    const Child* ok = Find(after, "Button", "确定");
    const Child* split = Find(after, "Button", "双回车符分列");
    const Child* entryAfter = Find(after, "Button", "welcome.txt");
    ASSERT_TRUE(label && field && ok && split && entryAfter);
    EXPECT_EQ(field->rect.x - label->rect.x, 272); // (2280 - 240) twips at 192 DPI
    EXPECT_EQ(ok->rect.x - label->rect.x, 464);    // (3720 - 240) twips
    EXPECT_EQ(split->rect.w, 226);                 // 1695 twips
    EXPECT_EQ(label->rect.h, 50);                  // 375 twips
    EXPECT_EQ(entryAfter->rect.w, 322);            // 2415 twips
    EXPECT_EQ(entryAfter->rect.w, 2 * entry->rect.w);
    EXPECT_FALSE(Overlap(field->rect, ok->rect));
    EXPECT_FALSE(Overlap(ok->rect, split->rect));
    EXPECT_FALSE(Overlap(label->rect, split->rect));
    // The frame holds the design's client area at the new DPI (6945 twips wide).
    Session::Rect grown = session.WindowRect("PlumwickContentManager");
    EXPECT_GE(grown.w, 926) << window.w;
    EXPECT_LE(ok->rect.x + ok->rect.w, grown.x + grown.w);
    // The letters are drawn twice as tall: the font was made again for 192 DPI.
    SleepSeconds(0.5);
    Image shot = session.Screenshot();
    int textAfter = DarkRows(shot, label->rect, field->rect.x);
    EXPECT_GT(textBefore, 8);
    EXPECT_NEAR(static_cast<double>(textAfter) / std::max(textBefore, 1), 2.0, 0.35)
        << textBefore << " rows at 96 DPI, " << textAfter << " at 192";
    session.SaveScreenshot("scaling-content-192");
}

namespace {

// Pixels of the image whose colour differs from the picture's (at the given place on the screenshot) by
// more than a few levels in some channel.
int DifferingPixels(const Image& shot, int left, int top, const Image& picture) {
    int differing = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            Rgb a = shot.At(left + x, top + y);
            Rgb b = picture.At(x, y);
            differing +=
                std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}) > 8 ? 1 : 0;
        }
    }
    return differing;
}

} // namespace

// At 150 % the toolbar's buttons show the pictures drawn for 144 DPI, not the 96-DPI ones blown up
// nearest-neighbour, and no button lets the desktop through.
TEST(Scaling, At144DpiTheToolbarShowsThePicturesDrawnForThatScale) {
    Session session(144);
    StartDisplay(session);
    ASSERT_TRUE(session.PointAtLine());
    ASSERT_EQ(session.WaitFor(
                  {"visible", "PlumwickToolbar"}, [](const std::string& v) { return v == "1"; }, 5),
              "1");
    Session::Rect bar = session.WindowRect("PlumwickToolbar");
    ASSERT_EQ(bar.w, 588);
    Image shot = session.Screenshot();
    // The settings button (设置), 41 x 22 at (208, 4) of the strip: 62 x 33 at (312, 6).
    Image drawn = LoadPicture(SourceDir() / "toolbar/res/144/SetNor.bmp");
    Image blownUp = LoadPicture(SourceDir() / "toolbar/res/SetNor.bmp", "-filter point -resize 62x33!");
    ASSERT_EQ(drawn.width, 62);
    ASSERT_EQ(blownUp.width, 62);
    int left = bar.x + 312, top = bar.y + 6;
    int holes = 0;
    for (int y = top; y < top + drawn.height; ++y) {
        for (int x = left; x < left + drawn.width; ++x) {
            Rgb c = shot.At(x, y);
            holes += IsDesktop(c) || (c.r == 255 && c.g == 0 && c.b == 255) ? 1 : 0;
        }
    }
    EXPECT_EQ(holes, 0);
    EXPECT_EQ(DifferingPixels(shot, left, top, drawn), 0);
    // The characters drawn at the larger size differ from the enlarged small ones along every stroke.
    EXPECT_GT(DifferingPixels(shot, left, top, blownUp), drawn.width * drawn.height / 20);
    session.SaveScreenshot("scaling-144-toolbar");
}
