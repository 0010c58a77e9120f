// The floating toolbar driven with the real pointer: its skin and see-through margins, the picture
// states, the colour buttons with the settings file, and the buttons that reach other windows.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace plumwick::e2e;

namespace {

constexpr long long kLayered = 0x80000;
constexpr long long kToolWindow = 0x80;
constexpr long long kTopmost = 0x8;

bool Same(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}
bool IsMagenta(Rgb c) {
    return c.r == 255 && c.g == 0 && c.b == 255;
}

// A 24-bit bottom-up bitmap of the toolbar's skin, as the resource script embeds it.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Bitmap LoadBmp(const std::string& name) {
    std::ifstream in(SourceDir() / "toolbar/res" / (name + ".bmp"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    Bitmap bmp;
    if (bytes.size() < 54) {
        return bmp;
    }
    auto u8 = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    auto i32 = [&](std::size_t i) {
        return static_cast<std::int32_t>(u8(i) | u8(i + 1) << 8 | u8(i + 2) << 16 | u8(i + 3) << 24);
    };
    std::size_t offset = static_cast<std::size_t>(i32(10));
    bmp.width = i32(18);
    int rows = i32(22);
    bool bottomUp = rows > 0;
    bmp.height = bottomUp ? rows : -rows;
    std::size_t stride = (static_cast<std::size_t>(bmp.width) * 3 + 3) & ~std::size_t{3};
    bmp.pixels.resize(static_cast<std::size_t>(bmp.width) * bmp.height);
    for (int y = 0; y < bmp.height; ++y) {
        std::size_t row = offset + static_cast<std::size_t>(bottomUp ? bmp.height - 1 - y : y) * stride;
        for (int x = 0; x < bmp.width; ++x) {
            std::size_t at = row + static_cast<std::size_t>(x) * 3;
            if (at + 2 < bytes.size()) {
                bmp.pixels[static_cast<std::size_t>(y) * bmp.width + x] = {u8(at + 2), u8(at + 1), u8(at)};
            }
        }
    }
    return bmp;
}

// Places a picture into a composed strip.
void Put(Bitmap& strip, const Bitmap& picture, int left, int top) {
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            strip.pixels[static_cast<std::size_t>(top + y) * strip.width + left + x] = picture.At(x, y);
        }
    }
}

// The strip as it looks at creation: every button normal, CmdLrc with its first picture, the disc of the
// scheme read at start (1) chosen and the rotation paused.
Bitmap FirstLook() {
    Bitmap strip = LoadBmp("Pic");
    Put(strip, LoadBmp("Hint"), 8, 2);
    Bitmap separator = LoadBmp("Separator");
    for (int x : {78, 198, 334}) {
        Put(strip, separator, x, 2);
    }
    Put(strip, LoadBmp("Delay2Nor"), 40, 10);
    Put(strip, LoadBmp("Delay1Nor"), 56, 10);
    Put(strip, LoadBmp("BlueSel"), 94, 8);
    Put(strip, LoadBmp("GreenNor"), 114, 8);
    Put(strip, LoadBmp("RedNor"), 134, 8);
    Put(strip, LoadBmp("WhiteNor"), 150, 8);
    Put(strip, LoadBmp("YellowNor"), 166, 8);
    Put(strip, LoadBmp("SetNor"), 208, 4);
    Put(strip, LoadBmp("SelFirst"), 256, 4);
    Put(strip, LoadBmp("LockNor"), 350, 8);
    Put(strip, LoadBmp("EndNor"), 366, 10);
    return strip;
}

std::string FirstTwoLines(const std::string& settings) {
    std::size_t second = settings.find('\n', settings.find('\n') + 1);
    return settings.substr(0, second);
}

std::string ThirdLine(const std::string& settings) {
    std::istringstream in(settings);
    std::string line;
    for (int i = 0; i < 3 && std::getline(in, line); ++i) {
    }
    return line;
}

class Toolbar : public ::testing::Test {
  protected:
    void SetUp() override {}

    void StartAndSettle() {
        ASSERT_TRUE(session.Start()) << "the display did not start";
        // The about window fades in over the display at start-up; the checks below want it gone.
        session.WaitFor(
            {"list"}, [](const std::string& out) { return out.find("|frmAbout|1|") == std::string::npos; },
            15);
        main = session.WindowRect("PlumwickMainText");
    }

    // Hovers the welcome line so the toolbar shows.
    void HoverText() {
        ASSERT_TRUE(session.PointAtLine()) << "no text drawn to hover";
        std::string visible = session.WaitFor(
            {"visible", "PlumwickToolbar"}, [](const std::string& out) { return out == "1"; }, 5);
        ASSERT_EQ(visible, "1") << "the toolbar did not show on hover";
        bar = session.WindowRect("PlumwickToolbar");
    }

    // Pointer over a strip position (strip pixels), then the given xdotool actions there.
    void At(int stripX, int stripY, const std::string& actions = "") {
        Shell(session.Env() + " xdotool mousemove " + std::to_string(bar.x + stripX) + " " +
              std::to_string(bar.y + stripY) + (actions.empty() ? "" : " " + actions));
        SleepSeconds(0.4);
    }
    void ClickAt(int stripX, int stripY) { At(stripX, stripY, "click 1"); }

    // Pixels of a strip region that differ from the picture expected there.
    int Mismatches(const Image& shot, const Bitmap& expected, int left, int top) {
        int count = 0;
        for (int y = 0; y < expected.height; ++y) {
            for (int x = 0; x < expected.width; ++x) {
                if (!Same(shot.At(bar.x + left + x, bar.y + top + y), expected.At(x, y))) {
                    ++count;
                }
            }
        }
        return count;
    }

    // Pixels of the text band whose colour leans clearly towards the channel picked by `lean`.
    template <typename Lean> int CountText(const Image& shot, Lean lean) {
        int count = 0;
        for (int y = main.y; y < main.y + 80; ++y) {
            for (int x = 0; x < shot.width; ++x) {
                Rgb c = shot.At(x, y);
                if (!Same(c, Session::kDesktop) && lean(c)) {
                    ++count;
                }
            }
        }
        return count;
    }
    // The text as it shows with the pointer away from the display: the panel is then hidden.
    Image TextAlone() {
        session.MovePointer(960, 100);
        session.WaitFor(
            {"visible", "PlumwickSkinPanel"}, [](const std::string& out) { return out == "0"; }, 5);
        SleepSeconds(0.3);
        return session.Screenshot();
    }
    static bool Greenish(Rgb c) { return c.g > c.r + 40 && c.g > c.b + 40; }
    static bool Bluish(Rgb c) { return c.b > c.r + 40 && c.b > c.g + 10; }

    std::filesystem::path SettingsPath() { return session.Folder() / "data/system/desktoplrc.pst"; }

    std::string WaitForThirdLine(const std::string& wanted) {
        std::string line;
        for (int i = 0; i < 50; ++i) {
            line = ThirdLine(ReadAll(SettingsPath()));
            if (line == wanted) {
                break;
            }
            SleepSeconds(0.1);
        }
        return line;
    }

    Session session;
    Session::Rect main;
    Session::Rect bar;
};

} // namespace

TEST_F(Toolbar, ShowsOnHoverWithItsSkinSeeThroughCornersAndPictureStates) {
    StartAndSettle();
    Session::Rect panel = session.WindowRect("PlumwickSkinPanel");
    Session::Rect placed = session.WindowRect("PlumwickToolbar");
    EXPECT_EQ(placed.w, 392);
    EXPECT_EQ(placed.h, 36);
    EXPECT_EQ(placed.x, (1920 - 392) / 2);
    EXPECT_EQ(placed.y, panel.y - 18); // its middle on the panel's top edge
    long long ex = session.ExStyle("PlumwickToolbar");
    EXPECT_EQ(ex & (kLayered | kToolWindow | kTopmost), kLayered | kToolWindow | kTopmost);
    EXPECT_FALSE(session.Visible("PlumwickToolbar")) << "created hidden";

    HoverText();
    SleepSeconds(0.3);
    Image shot = session.Screenshot();
    session.SaveScreenshot("toolbar-on-hover");
    Bitmap first = FirstLook();
    ASSERT_EQ(first.width, 389);
    int wrong = 0, keyed = 0;
    for (int y = 0; y < first.height; ++y) {
        for (int x = 0; x < first.width; ++x) {
            Rgb seen = shot.At(bar.x + x, bar.y + y);
            if (IsMagenta(first.At(x, y))) {
                // The rounded top corners lie above the panel: the desktop shows through.
                ++keyed;
                EXPECT_TRUE(Same(seen, Session::kDesktop)) << "corner " << x << "," << y;
            } else if (!Same(seen, first.At(x, y))) {
                ++wrong;
            }
        }
    }
    EXPECT_EQ(keyed, 6);
    EXPECT_EQ(wrong, 0) << "the strip does not show its pictures where they belong";
    for (int y = 0; y < 18; ++y) { // the right margin, down to the panel's top
        for (int x = 389; x < 392; ++x) {
            EXPECT_TRUE(Same(shot.At(bar.x + x, bar.y + y), Session::kDesktop)) << "margin " << x << "," << y;
        }
    }

    // Onto the blue swatch: the hover picture, two pixels larger.
    At(100, 14);
    shot = session.Screenshot();
    EXPECT_EQ(Mismatches(shot, LoadBmp("BluePoi"), 94, 8), 0);
    // A right press on the settings button shows its pressed picture and stays so: no mouse-up look.
    At(228, 14, "mousedown 3 mouseup 3");
    shot = session.Screenshot();
    session.SaveScreenshot("toolbar-pressed-set");
    EXPECT_EQ(Mismatches(shot, LoadBmp("SetDown"), 208, 4), 0);
    EXPECT_EQ(Mismatches(shot, LoadBmp("BluePoi"), 94, 8), 0) << "a fast pointer leaves the hover picture";
    EXPECT_EQ(session.Probe({"dialogs"}), "") << "a right press is no click";

    // Over the bare strip: every button back to normal, CmdLrc now with its normal picture.
    At(190, 15);
    shot = session.Screenshot();
    session.SaveScreenshot("toolbar-refreshed");
    EXPECT_EQ(Mismatches(shot, LoadBmp("BlueSel"), 94, 8), 0);
    EXPECT_EQ(Mismatches(shot, LoadBmp("SetNor"), 208, 4), 0);
    EXPECT_EQ(Mismatches(shot, LoadBmp("SelNor"), 256, 4), 0);
    Bitmap strip = LoadBmp("Pic");
    int uncovered = 0;
    for (int y = 4; y < 27; ++y) {
        for (int x = 256; x < 323; ++x) {
            if ((x >= 315 || y >= 25) && !Same(shot.At(bar.x + x, bar.y + y), strip.At(x, y))) {
                ++uncovered;
            }
        }
    }
    EXPECT_EQ(uncovered, 0) << "the strip shows again where the larger first picture was";
    Session::Rect karaoke = session.WindowRect("PlumwickKaraoke");
    EXPECT_EQ(karaoke.x, main.x);
    EXPECT_EQ(karaoke.y, main.y);

    // A double click on the bare strip brings the about window back, with its whole fade.
    ASSERT_EQ(session.WindowLine("PlumwickAbout").find("|frmAbout|1|"), std::string::npos);
    At(190, 15, "click --repeat 2 --delay 60 1");
    std::string about = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find("|frmAbout|1|") != std::string::npos; }, 5);
    EXPECT_NE(about.find("|frmAbout|1|"), std::string::npos) << "no about window after the double click";
}

TEST_F(Toolbar, ColourButtonsRecolourTheTextAndSaveTheScheme) {
    StartAndSettle();
    std::string before = ReadAll(SettingsPath());
    Image blue = session.Screenshot();
    HoverText();
    int greenBefore = CountText(blue, Greenish);
    int blueBefore = CountText(blue, Bluish);
    EXPECT_GT(blueBefore, 1000) << "the welcome line starts in the blue scheme";

    ClickAt(120, 14); // CmdGreen
    EXPECT_EQ(WaitForThirdLine(" 2 \r"), " 2 \r");
    Image green = TextAlone();
    session.SaveScreenshot("toolbar-green");
    EXPECT_GT(CountText(green, Greenish), greenBefore + 1000);
    EXPECT_LT(CountText(green, Bluish), blueBefore / 4);
    // Font and size lines are written back unchanged.
    std::string after = ReadAll(SettingsPath());
    EXPECT_EQ(FirstTwoLines(after), FirstTwoLines(before));

    HoverText();
    ClickAt(172, 14); // CmdYellow
    EXPECT_EQ(WaitForThirdLine(" 5 \r"), " 5 \r");
    ClickAt(140, 14); // CmdRed has no tooltip but works
    EXPECT_EQ(WaitForThirdLine(" 3 \r"), " 3 \r");
    EXPECT_TRUE(session.Running());
}

TEST_F(Toolbar, AColourButtonRecoloursAKaraokeHighlightAtRestToo) {
    StartAndSettle();
    // A short line sung to its end, then the timer stopped: no tick will draw it again by itself.
    ASSERT_EQ(session.Send("DKC梅溪小店 今日特价||1||9000"), 0);
    SleepSeconds(1.5);
    ASSERT_EQ(session.Send("TME"), 0);
    Session::Rect karaoke = session.WindowRect("PlumwickKaraoke");
    // Scheme 1's highlight is pale cyan, scheme 2's pale yellow-green.
    auto cyan = [](Rgb c) { return c.g > 0xD0 && c.b > 0xD0 && c.r < 0xD0 && c.r > 0x50; };
    auto yellowGreen = [](Rgb c) { return c.r > 0xC0 && c.g > 0xE0 && c.b < 0xB0; };
    auto count = [&](const Image& shot, auto lean) {
        int n = 0;
        for (int y = karaoke.y; y < karaoke.y + karaoke.h; ++y) {
            for (int x = karaoke.x; x < karaoke.x + karaoke.w; ++x) {
                n += lean(shot.At(x, y)) ? 1 : 0;
            }
        }
        return n;
    };
    Image before = TextAlone();
    ASSERT_GT(count(before, cyan), 200) << "the line was not highlighted in scheme 1";

    HoverText();
    ClickAt(120, 14); // CmdGreen
    Image after = TextAlone();
    session.SaveScreenshot("toolbar-karaoke-recoloured");
    EXPECT_LT(count(after, cyan), 20) << "the highlight kept the old scheme's colours";
    EXPECT_GT(count(after, yellowGreen), 200) << "the highlight did not take the new scheme's colours";
}

TEST_F(Toolbar, UnwritableSettingsFileWarnsOnceAndTheColoursStillApply) {
    // A directory in the file's place cannot be written by anyone (a read-only bit does not stop the
    // administrator, under whom these tests may run), and a file in the per-user folder's place stops the
    // per-user copy too.
    std::filesystem::remove(SettingsPath());
    std::filesystem::create_directory(SettingsPath());
    std::filesystem::create_directories(session.PerUserSettingsFolder().parent_path());
    std::ofstream(session.PerUserSettingsFolder()) << "in the way";
    // The warning is a notice: the start-up goes on and the box takes commands without anyone clicking.
    ASSERT_TRUE(session.Start()) << "an unwritable settings file must not stop the start";
    auto notices = [](const std::string& out) {
        std::size_t count = 0;
        for (std::size_t at = out.find(" PlumwickNotice|"); at != std::string::npos;
             at = out.find(" PlumwickNotice|", at + 1)) {
            ++count;
        }
        return count;
    };
    std::string list = session.WaitFor(
        {"list"}, [&](const std::string& out) { return notices(out) > 0; }, 10);
    EXPECT_NE(list.find("无法保存设置文件"), std::string::npos) << list;
    EXPECT_NE(list.find("plumwick\\desktoplrc.pst"), std::string::npos) << list;
    EXPECT_EQ(session.Probe({"dialogs"}), "");
    session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find("|frmAbout|1|") == std::string::npos; }, 15);
    main = session.WindowRect("PlumwickMainText");

    int greenBefore = CountText(session.Screenshot(), Greenish);
    HoverText();
    ClickAt(120, 14); // CmdGreen
    SleepSeconds(1.0);
    EXPECT_EQ(notices(session.Probe({"list"})), 1u) << "the same problem is told once";
    EXPECT_EQ(session.Probe({"dialogs"}), "");
    EXPECT_TRUE(session.Running());
    Image shot = TextAlone();
    session.SaveScreenshot("toolbar-unwritable-green");
    EXPECT_GT(CountText(shot, Greenish), greenBefore + 1000) << "the new colours apply anyway";
    EXPECT_TRUE(std::filesystem::is_directory(SettingsPath()));
}

TEST_F(Toolbar, ButtonsReachTheContentManagerTheFontDialogAndTheEnd) {
    StartAndSettle();
    HoverText();
    EXPECT_TRUE(session.Visible("PlumwickContentManager")) << "shown at start-up";
    ClickAt(280, 14); // CmdLrc
    EXPECT_EQ(session.WaitFor(
                  {"visible", "PlumwickContentManager"}, [](const std::string& o) { return o == "0"; }, 5),
              "0");
    ClickAt(280, 14);
    EXPECT_EQ(session.WaitFor(
                  {"visible", "PlumwickContentManager"}, [](const std::string& o) { return o == "1"; }, 5),
              "1");
    // A double click on the toggle counts once: hidden, and it stays hidden.
    At(280, 14, "click --repeat 2 --delay 80 1");
    EXPECT_EQ(session.WaitFor(
                  {"visible", "PlumwickContentManager"}, [](const std::string& o) { return o == "0"; }, 5),
              "0");
    SleepSeconds(0.5);
    EXPECT_FALSE(session.Visible("PlumwickContentManager")) << "the double click toggled twice";
    ClickAt(280, 14);
    EXPECT_EQ(session.WaitFor(
                  {"visible", "PlumwickContentManager"}, [](const std::string& o) { return o == "1"; }, 5),
              "1");

    // Cancel in the font dialog leaves the settings file alone.
    std::string before = ReadAll(SettingsPath());
    auto stamp = std::filesystem::last_write_time(SettingsPath());
    ClickAt(228, 14); // CmdSet
    std::string dialog = session.WaitFor(
        {"dialogs"}, [](const std::string& out) { return out.find(" 字体|") != std::string::npos; }, 10);
    ASSERT_NE(dialog.find(" 字体|"), std::string::npos) << dialog;
    EXPECT_EQ(session.Probe({"press", "字体", "取消"}), "pressed");
    session.WaitFor(
        {"dialogs"}, [](const std::string& out) { return out.empty(); }, 5);
    SleepSeconds(0.5);
    EXPECT_EQ(ReadAll(SettingsPath()), before);
    EXPECT_EQ(std::filesystem::last_write_time(SettingsPath()), stamp);

    // OK takes the dialog's font, which started as the display's: the file is written with the same values.
    ClickAt(228, 14);
    session.WaitFor(
        {"dialogs"}, [](const std::string& out) { return out.find(" 字体|") != std::string::npos; }, 10);
    EXPECT_EQ(session.Probe({"press", "字体", "确定"}), "pressed");
    for (int i = 0; i < 30 && std::filesystem::last_write_time(SettingsPath()) == stamp; ++i) {
        SleepSeconds(0.1);
    }
    EXPECT_NE(std::filesystem::last_write_time(SettingsPath()), stamp) << "OK saves the settings";
    EXPECT_EQ(ReadAll(SettingsPath()), before);

    // HDE hides the toolbar.
    ASSERT_EQ(session.Send("HDE"), 0);
    EXPECT_EQ(session.WaitFor(
                  {"visible", "PlumwickToolbar"}, [](const std::string& o) { return o == "0"; }, 5),
              "0");

    // The close button ends the program.
    HoverText();
    ClickAt(371, 15); // CmdEnd
    EXPECT_TRUE(session.WaitForExit(10)) << "the close button did not end the program";
}

TEST_F(Toolbar, PauseButtonAndColourDiscsShowTheRotationAndTheSchemeInUse) {
    StartAndSettle();
    HoverText();
    At(190, 15); // the bare strip: every button at rest
    Image shot = session.Screenshot();
    EXPECT_EQ(Mismatches(shot, LoadBmp("BlueSel"), 94, 8), 0) << "scheme 1, read at start, is not marked";
    EXPECT_EQ(Mismatches(shot, LoadBmp("GreenNor"), 114, 8), 0);
    EXPECT_EQ(Mismatches(shot, LoadBmp("LockNor"), 350, 8), 0) << "nothing runs before a publication";
    ASSERT_NE(Mismatches(shot, LoadBmp("BlueNor"), 94, 8), 0)
        << "the chosen picture looks like the plain one";
    ASSERT_NE(Mismatches(shot, LoadBmp("UnlockNor"), 350, 8), 0);

    ClickAt(120, 14); // CmdGreen
    EXPECT_EQ(WaitForThirdLine(" 2 \r"), " 2 \r");
    ClickAt(355, 14); // CmdLock: the rotation runs (with no interval yet it never ticks)
    At(190, 15);
    shot = session.Screenshot();
    session.SaveScreenshot("toolbar-running-green");
    EXPECT_EQ(Mismatches(shot, LoadBmp("GreenSel"), 114, 8), 0);
    EXPECT_EQ(Mismatches(shot, LoadBmp("BlueNor"), 94, 8), 0);
    EXPECT_EQ(Mismatches(shot, LoadBmp("UnlockNor"), 350, 8), 0);

    // Over the running pause button: its hover picture of the same set.
    At(355, 14);
    shot = session.Screenshot();
    EXPECT_EQ(Mismatches(shot, LoadBmp("UnlockPoi"), 350, 8), 0);
    ClickAt(355, 14); // paused again
    At(190, 15);
    shot = session.Screenshot();
    session.SaveScreenshot("toolbar-paused-green");
    EXPECT_EQ(Mismatches(shot, LoadBmp("LockNor"), 350, 8), 0);
    EXPECT_EQ(Mismatches(shot, LoadBmp("GreenSel"), 114, 8), 0);
}

// A colour scheme set by policy: the discs show it greyed and a click on one changes nothing; the other
// buttons keep their pictures.
TEST_F(Toolbar, ColourDiscsSetByPolicyAreGreyAndDoNothing) {
    Shell(session.Env() +
          " wine reg add 'HKLM\\Software\\Policies\\plumwick' /v ColorScheme /t REG_DWORD /d 3 " +
          "/f >/dev/null 2>&1");
    StartAndSettle();
    HoverText();
    At(190, 15);
    Image shot = session.Screenshot();
    session.SaveScreenshot("toolbar-discs-by-policy");
    int grey = 0;
    int coloured = 0;
    const std::pair<const char*, int> discs[] = {
        {"BlueNor", 94}, {"GreenNor", 114}, {"RedNor", 134}, {"WhiteNor", 150}, {"YellowNor", 166}};
    for (const auto& [name, left] : discs) {
        Bitmap disc = LoadBmp(name);
        for (int y = 0; y < disc.height; ++y) {
            for (int x = 0; x < disc.width; ++x) {
                Rgb c = shot.At(bar.x + left + x, bar.y + 8 + y);
                if (IsMagenta(c) || IsMagenta(disc.At(x, y))) {
                    continue;
                }
                (c.r == c.g && c.g == c.b && c.r >= 128 ? grey : coloured) += 1;
            }
        }
    }
    EXPECT_GT(grey, 200) << "the discs are not greyed";
    EXPECT_EQ(coloured, 0) << "a disc keeps its colours";
    EXPECT_EQ(Mismatches(shot, LoadBmp("Delay2Nor"), 40, 10), 0);
    EXPECT_EQ(Mismatches(shot, LoadBmp("SetNor"), 208, 4), 0) << "the font is not set by policy";

    const std::string before = ReadAll(SettingsPath());
    ClickAt(120, 14); // CmdGreen
    SleepSeconds(0.5);
    EXPECT_EQ(ReadAll(SettingsPath()), before) << "a greyed disc chose a scheme";
    Image text = TextAlone();
    EXPECT_EQ(CountText(text, Greenish), 0) << "the line turned green";
}
