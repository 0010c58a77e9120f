// The content manager: the files it offers, and publishing the ticked ones as the rotation's messages.
#include "common/TextUtil.h"
#include "tests/e2e/Harness.h"
#include "tests/unit/TestCodePage.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace plumwick::e2e;
namespace fs = std::filesystem;

namespace {

constexpr char kForm[] = "PlumwickContentManager";
constexpr char kPublish[] = "确定 ";
constexpr char kNothingTicked[] = "提醒|请选择要显示的内容卷";
constexpr char kBadInterval[] = "提醒'|请输入60秒之内的数据";
constexpr long long kAppWindow = 0x40000;

struct Child {
    std::string cls;
    std::string text;
    Session::Rect rect;
    bool visible = false;
    bool checked = false;
};

// "hwnd class|text|x y w h|visible|checked", one line per descendant window in creation order.
std::vector<Child> Children(Session& session) {
    std::vector<Child> children;
    std::istringstream lines(session.Probe({"children", kForm}));
    std::string line;
    while (std::getline(lines, line)) {
        // The probe writes through the console's text mode: every line but the last ends in CR LF.
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::size_t space = line.find(' ');
        std::size_t first = line.find('|');
        std::size_t last = line.rfind('|');
        std::size_t beforeLast = line.rfind('|', last - 1);
        std::size_t rectBar = line.rfind('|', beforeLast - 1);
        if (space == std::string::npos || first == std::string::npos || rectBar <= first) {
            continue;
        }
        Child child;
        child.cls = line.substr(space + 1, first - space - 1);
        child.text = line.substr(first + 1, rectBar - first - 1);
        std::istringstream rect(line.substr(rectBar + 1, beforeLast - rectBar - 1));
        rect >> child.rect.x >> child.rect.y >> child.rect.w >> child.rect.h;
        child.visible = line.substr(beforeLast + 1, last - beforeLast - 1) == "1";
        child.checked = line.substr(last + 1) == "1";
        children.push_back(child);
    }
    return children;
}

const Child* Find(const std::vector<Child>& children, const std::string& text) {
    for (const Child& child : children) {
        if (child.text == text) {
            return &child;
        }
    }
    return nullptr;
}

// The check boxes of the file entries: every Button below the controls' row.
std::vector<Child> Entries(const std::vector<Child>& children) {
    std::vector<Child> entries;
    for (const Child& child : children) {
        if (child.cls == "Button" && child.text != kPublish && child.text != "双回车符分列" &&
            child.text != "画文字 ") {
            entries.push_back(child);
        }
    }
    return entries;
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

std::string Gbk(const std::string& utf8) {
    static const plumwick::test::IconvCodePage gbk;
    return gbk.FromUtf16(plumwick::Utf8ToUtf16(utf8)).value_or("");
}

std::string Utf16LeWithMark(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : plumwick::Utf8ToUtf16(utf8)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

class ContentManager : public ::testing::Test {
  protected:
    fs::path TextFolder() { return session.Folder() / "Text"; }
    // A content folder holding exactly what the test puts there.
    void EmptyTextFolder() {
        fs::remove_all(TextFolder());
        fs::create_directories(TextFolder());
    }
    void StartWithInterval(const char* stored) {
        // The setting lives in the shared prefix's registry and outlives every test.
        if (stored) {
            session.Probe({"regset", stored});
        } else {
            session.Probe({"regdel"});
        }
        ASSERT_TRUE(session.Start()) << "the display did not start";
        session.MovePointer(2, 2); // away from the text, so neither panel nor toolbar comes up
        std::string line = session.WaitFor({"list"}, [](const std::string& out) {
            return out.find(std::string(kForm) + "| 选择要显示的内容卷|1|") != std::string::npos;
        });
        ASSERT_NE(line.find(std::string(kForm) + "| 选择要显示的内容卷|1|"), std::string::npos) << line;
    }
    // The about window sits over the middle of the screen for its first seconds.
    void WaitForAboutToClose() {
        session.WaitFor(
            {"list"}, [](const std::string& out) { return out.find("PlumwickAbout") == std::string::npos; },
            15);
    }
    std::string Dialogs() { return session.Probe({"dialogs"}); }
    std::string WaitForDialog() {
        return session.WaitFor(
            {"dialogs"}, [](const std::string& out) { return !out.empty(); }, 5);
    }
    void PressOk(const std::string& caption) {
        EXPECT_EQ(session.Probe({"press", caption, "确定"}), "pressed");
        session.WaitFor(
            {"dialogs"}, [](const std::string& out) { return out.empty(); }, 5);
    }
    std::string Field() {
        for (const Child& child : Children(session)) {
            if (child.cls == "Edit") {
                return child.text;
            }
        }
        return "<no field>";
    }
    void SetField(const std::string& text) {
        ASSERT_EQ(session.Probe({"set-child-text", kForm, "0", text}), "set");
    }
    void Tick(const std::string& name) { ASSERT_EQ(session.Probe({"check-child", kForm, name}), "clicked"); }
    void Publish() { ASSERT_EQ(session.Probe({"click-child", kForm, kPublish}), "clicked"); }
    std::string WaitForStored(const std::string& value, double seconds = 10) {
        return session.WaitFor(
            {"regget"}, [&](const std::string& out) { return out == value; }, seconds);
    }
    // The toolbar's content-manager button, reached as the user does: hover the text, click the button.
    // The pointer goes through the X server only (as PointAtLine moves it), so the move to the button and
    // the click reach the program in the order they were made.
    void PressToolbarContentButton() {
        ASSERT_TRUE(session.PointAtLine()) << "no text drawn to hover";
        std::string visible = session.WaitFor(
            {"visible", "PlumwickToolbar"}, [](const std::string& out) { return out == "1"; }, 10);
        ASSERT_EQ(visible, "1") << "the toolbar did not show on hover";
        Session::Rect bar = session.WindowRect("PlumwickToolbar");
        int x = bar.x + 256 + 30, y = bar.y + 4 + 11;
        session.MovePointer(x, y);
        SleepSeconds(0.3);
        Shell(session.Env() + " xdotool click 1");
    }

    Session session;
};

} // namespace

TEST_F(ContentManager, OffersEveryTextFileOfTheTreeInAThreeColumnGrid) {
    EmptyTextFolder();
    const std::vector<std::string> rootFiles = {"a.TXT", "b.txt", "c.txt", "d.txt",
                                                "e.txt", "f.txt", "g.txt"};
    for (const std::string& name : rootFiles) {
        WriteBytes(TextFolder() / name, "x\r\n");
    }
    for (const char* ignored : {"c.txt.bak", "readme", ".hidden.txt", ".secret/s.txt"}) {
        WriteBytes(TextFolder() / ignored, "x\r\n");
    }
    // A folder named like a text file is walked, not offered; its file comes after every root file.
    WriteBytes(TextFolder() / "x.txt" / "deep.txt", "x\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWithInterval(nullptr));

    std::vector<Child> children = Children(session);
    std::vector<Child> entries = Entries(children);
    ASSERT_EQ(entries.size(), 8u) << session.Probe({"children", kForm});
    std::set<std::string> firstSeven;
    for (int i = 0; i < 7; ++i) {
        firstSeven.insert(entries[i].text);
    }
    EXPECT_EQ(firstSeven, std::set<std::string>(rootFiles.begin(), rootFiles.end()));
    EXPECT_EQ(entries[7].text, "deep.txt");

    // Positions in the client area, measured from Label1 at (16, 16): columns at 120, 2620 and 5120 twips,
    // rows 450 twips apart from 960, each entry 2415 x 420 twips.
    const Child* label = Find(children, "信息更换间隔：      秒");
    ASSERT_NE(label, nullptr);
    const int columns[] = {8, 175, 341};
    const int rows[] = {64, 94, 124};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(entries[i].text);
        EXPECT_EQ(entries[i].rect.x - label->rect.x, columns[i % 3] - 16);
        EXPECT_EQ(entries[i].rect.y - label->rect.y, rows[i / 3] - 16);
        EXPECT_EQ(entries[i].rect.w, 161);
        EXPECT_EQ(entries[i].rect.h, 28);
        EXPECT_TRUE(entries[i].visible);
        EXPECT_FALSE(entries[i].checked);
    }

    // The fixed controls, against Label1 as well.
    struct Expected {
        const char* text;
        int x, y, w, h;
    };
    for (const Expected& e : {Expected{"确定 ", 248, 13, 89, 33}, Expected{"双回车符分列", 352, 16, 113, 33},
                              Expected{"画文字 ", 528, 8, 89, 33}}) {
        const Child* control = Find(children, e.text);
        ASSERT_NE(control, nullptr) << e.text;
        EXPECT_EQ(control->rect.x - label->rect.x, e.x - 16) << e.text;
        EXPECT_EQ(control->rect.y - label->rect.y, e.y - 16) << e.text;
        EXPECT_EQ(control->rect.w, e.w) << e.text;
        EXPECT_EQ(control->rect.h, e.h) << e.text;
    }
    EXPECT_EQ(label->rect.w, 217);
    EXPECT_EQ(label->rect.h, 25);
    EXPECT_EQ(Field(), ""); // nothing stored: the design text never shows

    // Three rows: the outer height is 1905 + 2 x 450 twips; the client is 463 px wide, and the window is
    // centred across the screen below the line (its panel reaches 97 px below the text window's top).
    Session::Rect form = session.WindowRect(kForm);
    EXPECT_EQ(form.h, 2805 / 15);
    const Child* panel = nullptr;
    for (const Child& child : children) {
        if (child.cls == "PlumwickContentList") {
            panel = &child;
        }
    }
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->rect.w, 463);
    EXPECT_NEAR(form.x, (1920 - form.w) / 2, 1);
    int lineBottom = session.WindowRect("PlumwickMainText").y + 97;
    int workBottom = session.GetWorkArea().bottom; // above the taskbar
    EXPECT_GE(form.y, lineBottom);
    EXPECT_NEAR(form.y, lineBottom + (workBottom - lineBottom - form.h) / 2, 1);
    EXPECT_NE(session.ExStyle(kForm) & kAppWindow, 0) << "not in the taskbar";
    WaitForAboutToClose();
    session.SaveScreenshot("content-grid");
}

TEST_F(ContentManager, ManyFilesStopAtTheWorkAreaAndScroll) {
    EmptyTextFolder();
    for (int i = 0; i < 150; ++i) {
        WriteBytes(TextFolder() / ("f" + std::to_string(1000 + i) + ".txt"), "x");
    }
    ASSERT_NO_FATAL_FAILURE(StartWithInterval(nullptr));
    std::istringstream screen(session.Probe({"screen"}));
    int sw = 0, sh = 0, left = 0, top = 0, right = 0, bottom = 0;
    screen >> sw >> sh >> left >> top >> right >> bottom;
    ASSERT_GT(bottom - top, 0);

    // The room below the line, the larger side of it, is all it takes.
    Session::Rect form = session.WindowRect(kForm);
    int lineBottom = session.WindowRect("PlumwickMainText").y + 97;
    EXPECT_EQ(form.y, lineBottom);
    EXPECT_EQ(form.h, bottom - lineBottom) << "50 rows would need " << (1905 + 49 * 450) / 15 << " px";
    EXPECT_LE(form.y + form.h, bottom);

    std::vector<Child> before = Entries(Children(session));
    ASSERT_EQ(before.size(), 150u);
    // Turning the wheel over the window moves the entries up; the last one comes into the window.
    int lastTop = before.back().rect.y;
    EXPECT_GT(lastTop + before.back().rect.h, form.y + form.h) << "the last entry should start out of view";
    for (int i = 0; i < 40; ++i) {
        session.Probe({"send", kForm, "0x020A", std::to_string(static_cast<unsigned>(-120) << 16), "0"});
    }
    std::vector<Child> after = Entries(Children(session));
    ASSERT_EQ(after.size(), 150u);
    EXPECT_LT(after.back().rect.y, lastTop);
    EXPECT_LE(after.back().rect.y + after.back().rect.h, form.y + form.h);
    EXPECT_EQ(before.front().rect.x, after.front().rect.x);
    WaitForAboutToClose();
    session.SaveScreenshot("content-scrolled");
}

TEST_F(ContentManager, CreatesTheMissingFolderAndRescansWhenLoadedAgain) {
    fs::remove_all(TextFolder());
    ASSERT_NO_FATAL_FAILURE(StartWithInterval("7"));
    EXPECT_TRUE(fs::is_directory(TextFolder()));
    EXPECT_TRUE(Entries(Children(session)).empty());
    EXPECT_EQ(Field(), "7");
    Session::Rect designed = session.WindowRect(kForm);

    // Closing with the close box unloads the window; the toolbar's button loads it again, which rescans.
    WriteBytes(TextFolder() / "later.txt", "x");
    session.Probe({"post", kForm, "0x10", "0", "0"}); // WM_CLOSE
    std::string list = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find(kForm) == std::string::npos; });
    EXPECT_EQ(list.find(kForm), std::string::npos) << "the close box should unload the window";
    WaitForAboutToClose();
    PressToolbarContentButton();
    session.WaitFor(
        {"visible", kForm}, [](const std::string& out) { return out == "1"; }, 5);
    ASSERT_TRUE(session.Visible(kForm));
    std::vector<Child> entries = Entries(Children(session));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "later.txt");
    Session::Rect loaded = session.WindowRect(kForm);
    EXPECT_EQ(loaded.h, 1905 / 15);
    EXPECT_GE(loaded.h, designed.h);

    // The same button hides it again and shows it, keeping the ticks.
    Tick("later.txt");
    PressToolbarContentButton();
    session.WaitFor(
        {"visible", kForm}, [](const std::string& out) { return out == "0"; }, 5);
    EXPECT_FALSE(session.Visible(kForm));
    PressToolbarContentButton();
    session.WaitFor(
        {"visible", kForm}, [](const std::string& out) { return out == "1"; }, 5);
    EXPECT_TRUE(session.Visible(kForm));
    entries = Entries(Children(session));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].checked);

    // Closed and loaded once more, now that the start-up windows have settled: a fresh, unticked list.
    session.Probe({"post", kForm, "0x10", "0", "0"});
    session.WaitFor({"list"}, [](const std::string& out) { return out.find(kForm) == std::string::npos; });
    PressToolbarContentButton();
    session.WaitFor(
        {"visible", kForm}, [](const std::string& out) { return out == "1"; }, 5);
    entries = Entries(Children(session));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries[0].checked);
    EXPECT_TRUE(session.Running());
}

TEST_F(ContentManager, RefusesToPublishWithoutATickOrAValidInterval) {
    EmptyTextFolder();
    WriteBytes(TextFolder() / "one.txt", "line\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWithInterval(nullptr));

    Publish();
    EXPECT_NE(WaitForDialog().find(kNothingTicked), std::string::npos) << Dialogs();
    EXPECT_TRUE(session.Visible(kForm));
    PressOk("提醒");
    EXPECT_EQ(session.Probe({"regget"}), "<none>");

    // Nothing stored yet, so the field starts empty and the first publish asks for the interval.
    Tick("one.txt");
    for (const char* bad : {"", "abc", "-0.5", "61", "1e9", "6 0"}) {
        SCOPED_TRACE(bad);
        SetField(bad);
        Publish();
        EXPECT_NE(WaitForDialog().find(kBadInterval), std::string::npos) << Dialogs();
        EXPECT_EQ(Field(), "") << "the field is emptied";
        EXPECT_TRUE(session.Visible(kForm));
        PressOk("提醒'");
        EXPECT_EQ(session.Probe({"regget"}), "<none>");
    }

    // Rounded down into range: stored as whole seconds, and the window hides.
    SetField(" 60.9 ");
    Publish();
    EXPECT_EQ(WaitForStored("60"), "60");
    session.WaitFor(
        {"visible", kForm}, [](const std::string& out) { return out == "0"; }, 5);
    EXPECT_FALSE(session.Visible(kForm));
    EXPECT_EQ(Dialogs(), "");
}

TEST_F(ContentManager, PublishedFilesInEitherEncodingAreWhatTheRotationShows) {
    EmptyTextFolder();
    const std::string gbkLine = "国标码编码的一行消息";
    const std::string unicodeLine = "统一码带字节序标记的一行";
    WriteBytes(TextFolder() / "gbk.txt", Gbk(gbkLine + "\r\n"));
    WriteBytes(TextFolder() / "sub" / "unicode.txt", Utf16LeWithMark(unicodeLine));
    WriteBytes(TextFolder() / "unticked.txt", Gbk("不应出现的行"));
    ASSERT_NO_FATAL_FAILURE(StartWithInterval(nullptr));
    WaitForAboutToClose();

    // Interval 0: published, hidden, and the rotation never ticks, so the references can be drawn.
    Tick("gbk.txt");
    Tick("unicode.txt");
    SetField("0");
    Publish();
    EXPECT_EQ(WaitForStored("0"), "0");
    session.WaitFor(
        {"visible", kForm}, [](const std::string& out) { return out == "0"; }, 5);
    ASSERT_FALSE(session.Visible(kForm));
    int top = session.WindowRect("PlumwickMainText").y;
    auto reference = [&](const std::string& line) {
        EXPECT_EQ(session.Send("DLT" + line), 0);
        SleepSeconds(1.0);
        return session.Screenshot();
    };
    Image gbkShot = reference(gbkLine);
    Image unicodeShot = reference(unicodeLine);
    ASSERT_FALSE(SameBand(gbkShot, unicodeShot, top, top + 90));
    // The hidden "画文字 " button draws the whole buffer: both files joined, as a sender would draw them.
    Image bufferShot = reference(gbkLine + "\r\n" + unicodeLine);
    EXPECT_EQ(session.Send("DLT other"), 0);
    ASSERT_EQ(session.Probe({"click-child", kForm, "画文字 "}), "clicked");
    SleepSeconds(1.0);
    EXPECT_FALSE(SameBand(bufferShot, gbkShot, top, top + 90));
    EXPECT_TRUE(SameBand(session.Screenshot(), bufferShot, top, top + 90));

    // Published again (the hidden window keeps its ticks) with one second: the lines take turns.
    SetField("1");
    Publish();
    EXPECT_EQ(WaitForStored("1"), "1");
    int gbkSeen = 0, unicodeSeen = 0, other = 0;
    for (int i = 0; i < 24 && (gbkSeen < 2 || unicodeSeen < 2); ++i) {
        SleepSeconds(0.7);
        Image shot = session.Screenshot();
        if (SameBand(shot, gbkShot, top, top + 90)) {
            ++gbkSeen;
        } else if (SameBand(shot, unicodeShot, top, top + 90)) {
            ++unicodeSeen;
        } else {
            ++other;
            if (other == 1) {
                shot.Save(WinBuildDir().parent_path() / "e2e-shots" / "content-rotation-other.png");
            }
        }
    }
    EXPECT_GE(gbkSeen, 1) << "the GBK file's line never showed";
    EXPECT_GE(unicodeSeen, 1) << "the UTF-16 file's line never showed";
    EXPECT_LE(other, 4) << "frames showing neither line (a tick caught mid-sweep is allowed now and then)";
    session.SaveScreenshot("content-rotation");
}

TEST_F(ContentManager, BadFilesAreSkippedAndNeverStopThePublish) {
    EmptyTextFolder();
    WriteBytes(TextFolder() / "good.txt", Gbk("好的一行"));
    std::string big;
    for (std::string line = "A long line of a fifty megabyte file\r\n"; big.size() < (50u << 20);) {
        big += line;
    }
    WriteBytes(TextFolder() / "big.txt", big);
    std::mt19937 random(7);
    std::string binary(1 << 20, '\0');
    for (char& c : binary) {
        c = static_cast<char>(random());
    }
    WriteBytes(TextFolder() / "binary.txt", binary);
    WriteBytes(TextFolder() / "vanishes.txt", "soon gone");
    ASSERT_EQ(mkfifo((TextFolder() / "pipe.txt").c_str(), 0644), 0);
    ASSERT_NO_FATAL_FAILURE(StartWithInterval(nullptr));
    fs::remove(TextFolder() / "vanishes.txt");

    std::vector<Child> entries = Entries(Children(session));
    EXPECT_EQ(entries.size(), 5u) << session.Probe({"children", kForm});
    for (const Child& entry : entries) {
        Tick(entry.text);
    }
    SetField("1");
    Publish();
    EXPECT_EQ(WaitForStored("1", 30), "1") << "the publish did not finish";
    session.WaitFor(
        {"visible", kForm}, [](const std::string& out) { return out == "0"; }, 10);
    EXPECT_FALSE(session.Visible(kForm));
    SleepSeconds(3);
    EXPECT_TRUE(session.Running());
    EXPECT_EQ(session.Probe({"find-box"}), "yes") << "the program stopped answering";
    EXPECT_EQ(Dialogs(), "");
}

TEST_F(ContentManager, LfOnlyCrOnlyAndUnterminatedFilesGiveOneMessageALine) {
    EmptyTextFolder();
    // Saved by editors other than Notepad: LF alone, CR alone, and no line break at the end of a file
    // that another file follows.
    WriteBytes(TextFolder() / "a-lf.txt", "Alpha one\nAlpha two\n");
    WriteBytes(TextFolder() / "b-cr.txt", "Bravo one\rBravo two\r");
    WriteBytes(TextFolder() / "c-open.txt", "Charlie open");
    WriteBytes(TextFolder() / "d-next.txt", "Delta next\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWithInterval(nullptr));
    WaitForAboutToClose();
    const std::vector<std::string> lines = {"Alpha one", "Alpha two",    "Bravo one",
                                            "Bravo two", "Charlie open", "Delta next"};
    int top = session.WindowRect("PlumwickMainText").y;
    std::vector<Image> references;
    for (const std::string& line : lines) {
        EXPECT_EQ(session.Send("DLT" + line), 0);
        SleepSeconds(0.8);
        references.push_back(session.Screenshot());
    }

    for (const Child& entry : Entries(Children(session))) {
        Tick(entry.text);
    }
    SetField("1");
    Publish();
    EXPECT_EQ(WaitForStored("1"), "1");
    std::set<int> seen;
    int other = 0;
    for (int i = 0; i < 20; ++i) {
        SleepSeconds(0.7);
        Image shot = session.Screenshot();
        bool matched = false;
        for (std::size_t k = 0; k < references.size() && !matched; ++k) {
            if (SameBand(shot, references[k], top, top + 90)) {
                seen.insert(static_cast<int>(k));
                matched = true;
            }
        }
        if (!matched && ++other == 1) {
            shot.Save(WinBuildDir().parent_path() / "e2e-shots" / "content-line-ends-other.png");
        }
    }
    // Joined lines ("Alpha one\nAlpha two", "Charlie openDelta next") would match no reference.
    EXPECT_GE(seen.size(), 3u) << "too few single lines shown";
    EXPECT_LE(other, 4) << "frames showing no single line";
    session.SaveScreenshot("content-line-ends");
}

// The publication's own message is drawn before the manager hides: hiding may keep the program's thread
// (Wine waits up to 2 s for a window manager to withdraw it), and the message must not wait for that.
TEST_F(ContentManager, APublicationShowsItsFirstMessageAtOnce) {
    EmptyTextFolder();
    WriteBytes(TextFolder() / "only.txt", "The first message\r\nThe second message\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWithInterval(nullptr));
    WaitForAboutToClose();
    int top = session.WindowRect("PlumwickMainText").y;
    std::vector<Image> references;
    for (const char* line : {"The first message", "The second message"}) {
        EXPECT_EQ(session.Send(std::string("DLT") + line), 0);
        SleepSeconds(0.8);
        references.push_back(session.Screenshot());
    }
    EXPECT_EQ(session.Send("DLT something else"), 0);
    SleepSeconds(0.8);
    Image before = session.Screenshot();

    // A whole minute between messages: the first still comes with the publish, not a minute later.
    Tick("only.txt");
    SetField("60");
    Publish();
    EXPECT_EQ(WaitForStored("60"), "60");
    SleepSeconds(1.5);
    EXPECT_EQ(Dialogs(), "");
    EXPECT_FALSE(session.Visible(kForm));
    Image shot = session.Screenshot();
    EXPECT_FALSE(SameBand(shot, before, top, top + 90)) << "nothing new was drawn";
    EXPECT_TRUE(SameBand(shot, references[0], top, top + 90) || SameBand(shot, references[1], top, top + 90))
        << "the display does not show a published message";
    session.SaveScreenshot("content-first-at-once");
}

TEST(ContentManagerSmallScreen, FortyFilesOpenClearOfTheLineAndPublishByARealClick) {
    Session session(96, 1366, 768);
    fs::remove_all(session.Folder() / "Text");
    for (int i = 0; i < 40; ++i) {
        WriteBytes(session.Folder() / "Text" / ("notice" + std::to_string(10 + i) + ".txt"), "Notice\r\n");
    }
    session.Probe({"regdel"});
    ASSERT_TRUE(session.Start());
    session.MovePointer(2, 2);
    ASSERT_EQ(session.WaitFor(
                  {"visible", kForm}, [](const std::string& out) { return out == "1"; }, 10),
              "1");
    std::istringstream screen(session.Probe({"screen"}));
    int sw = 0, sh = 0, left = 0, top = 0, right = 0, bottom = 0;
    screen >> sw >> sh >> left >> top >> right >> bottom;

    // Wholly inside the work area, below the line with its panel and toolbar, all 14 rows at once.
    Session::Rect form = session.WindowRect(kForm);
    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_GE(form.x, left);
    EXPECT_LE(form.x + form.w, right);
    EXPECT_GE(form.y, main.y + 97) << "the top row lies under the text line";
    EXPECT_LE(form.y + form.h, bottom);
    EXPECT_EQ(form.h, (1905 + 13 * 450) / 15);
    session.SaveScreenshot("content-small-screen");

    // Ticked, an interval typed, and the publish button pressed with the real pointer.
    ASSERT_EQ(session.Probe({"check-child", kForm, "notice10.txt"}), "clicked");
    ASSERT_EQ(session.Probe({"set-child-text", kForm, "0", "5"}), "set");
    // The splash that greets every start lies over the middle of the screen for its few seconds.
    ASSERT_TRUE(session.WaitForAboutToClose());
    const Child* button = nullptr;
    std::vector<Child> children = Children(session);
    button = Find(children, kPublish);
    ASSERT_NE(button, nullptr);
    session.MovePointer(button->rect.x + button->rect.w / 2, button->rect.y + button->rect.h / 2);
    SleepSeconds(0.3);
    Shell(session.Env() + " xdotool click 1");
    EXPECT_EQ(session.WaitFor(
                  {"regget"}, [](const std::string& out) { return out == "5"; }, 10),
              "5")
        << "the click did not reach the publish button";
    EXPECT_EQ(session.WaitFor(
                  {"visible", kForm}, [](const std::string& out) { return out == "0"; }, 5),
              "0");
}

TEST_F(ContentManager, ShownAgainItListsNewFilesKeepingTicksAndEnterPublishes) {
    EmptyTextFolder();
    WriteBytes(TextFolder() / "a.txt", "Aa\r\n");
    WriteBytes(TextFolder() / "b.txt", "Bb\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWithInterval("3"));
    WaitForAboutToClose();
    Tick("a.txt");
    PressToolbarContentButton(); // hidden
    ASSERT_EQ(session.WaitFor(
                  {"visible", kForm}, [](const std::string& out) { return out == "0"; }, 5),
              "0");

    // Files change while it is hidden; shown again, it lists them as they are now.
    WriteBytes(TextFolder() / "c.txt", "Cc\r\n");
    fs::remove(TextFolder() / "b.txt");
    PressToolbarContentButton();
    ASSERT_EQ(session.WaitFor(
                  {"visible", kForm}, [](const std::string& out) { return out == "1"; }, 5),
              "1");
    std::vector<Child> entries = Entries(Children(session));
    ASSERT_EQ(entries.size(), 2u) << session.Probe({"children", kForm});
    std::set<std::string> names{entries[0].text, entries[1].text};
    EXPECT_EQ(names, (std::set<std::string>{"a.txt", "c.txt"}));
    for (const Child& entry : entries) {
        EXPECT_EQ(entry.checked, entry.text == "a.txt") << entry.text;
    }

    // While it is the active window it lies above the display's topmost windows.
    EXPECT_EQ(session.Probe({"foreground"}), kForm);
    EXPECT_NE(session.ExStyle(kForm) & 0x8, 0) << "not above the display while active";

    // Enter in the interval field publishes (with 0: the one message stays, for the pointer to find).
    SetField("0");
    session.PressKeys("Return");
    EXPECT_EQ(WaitForStored("0"), "0") << "Enter did not publish";
    EXPECT_EQ(session.WaitFor(
                  {"visible", kForm}, [](const std::string& out) { return out == "0"; }, 5),
              "0");
    EXPECT_EQ(Dialogs(), "");

    // Shown again and active: the hover panel and the toolbar come up at the top of the topmost band, and
    // the manager goes back over them.
    PressToolbarContentButton();
    ASSERT_EQ(session.WaitFor(
                  {"visible", kForm}, [](const std::string& out) { return out == "1"; }, 5),
              "1");
    ASSERT_TRUE(session.PointAtLine()) << "no text drawn to hover";
    ASSERT_EQ(session.WaitFor(
                  {"visible", "PlumwickToolbar"}, [](const std::string& o) { return o == "1"; }, 5),
              "1");
    SleepSeconds(0.5);
    std::string stack = session.Probe({"list"}); // top to bottom
    EXPECT_LT(stack.find(kForm), stack.find("PlumwickToolbar")) << stack;
    EXPECT_LT(stack.find(kForm), stack.find("PlumwickSkinPanel")) << stack;
    session.MovePointer(2, 2);
}

TEST_F(ContentManager, ALinkedFolderIsNeitherWalkedNorOffered) {
    EmptyTextFolder();
    WriteBytes(TextFolder() / "shop" / "a.txt", "x\r\n");
    // A link beside the folder and one back up the tree: under Wine both are reparse points that name
    // another place, as links and junctions do on Windows.
    std::filesystem::create_directory_symlink("shop", TextFolder() / "again");
    std::filesystem::create_directory_symlink("..", TextFolder() / "shop" / "up");
    ASSERT_NO_FATAL_FAILURE(StartWithInterval(nullptr));
    std::vector<Child> entries = Entries(Children(session));
    ASSERT_EQ(entries.size(), 1u) << session.Probe({"children", kForm});
    EXPECT_EQ(entries[0].text, "a.txt");
}

TEST_F(ContentManager, FilesPastThePublicationsTotalAreLeftOutAndANoticeNamesThem) {
    EmptyTextFolder();
    // Two files each under the one-file cap, together over the publication's 64 MiB.
    std::string big;
    for (std::string line = "A long line of a forty megabyte file\r\n"; big.size() < (40u << 20);) {
        big += line;
    }
    WriteBytes(TextFolder() / "first.txt", big);
    WriteBytes(TextFolder() / "second.txt", big);
    WriteBytes(TextFolder() / "third.txt", "Third line\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWithInterval(nullptr));
    for (const Child& entry : Entries(Children(session))) {
        Tick(entry.text);
    }
    SetField("1");
    Publish();
    EXPECT_EQ(WaitForStored("1", 30), "1") << "the publish did not finish";
    std::string list = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find("left out") != std::string::npos; }, 10);
    EXPECT_NE(list.find("left out"), std::string::npos) << "no notice: " << list;
    // Which of the two big files comes first is the scan's order; the other one is named, the small one fits.
    bool firstOut = list.find("first.txt") != std::string::npos;
    bool secondOut = list.find("second.txt") != std::string::npos;
    EXPECT_TRUE(firstOut != secondOut) << list;
    EXPECT_EQ(list.find("third.txt"), std::string::npos) << list;
    EXPECT_TRUE(session.Running());
    EXPECT_EQ(session.Probe({"find-box"}), "yes") << "the program stopped answering";
}

// shop.ini's ContentFolder on a network share: under Wine \\headoffice\display is a link in the session's
// prefix (dosdevices/unc). The manager lists the share's files, not those of Text\ beside the program.
TEST_F(ContentManager, ContentFolderOnAShareIsListedInsteadOfText) {
    EmptyTextFolder();
    WriteBytes(TextFolder() / "local.txt", "local\r\n");
    const fs::path share = session.Folder() / "share";
    WriteBytes(share / "Text" / "offers.txt", "two for one\r\n");
    WriteBytes(share / "Text" / "sub" / "breakfast.txt", "eggs\r\n");
    session.MapShare("headoffice", "display", share);
    {
        std::ofstream out(session.Folder() / "data/system/shop.ini", std::ios::binary | std::ios::app);
        out << "\r\nContentFolder=\\\\headoffice\\display\\Text\r\n";
    }
    StartWithInterval(nullptr);
    std::vector<Child> entries = Entries(Children(session));
    ASSERT_EQ(entries.size(), 2u) << session.Probe({"children", kForm});
    EXPECT_EQ(entries[0].text, "offers.txt");
    EXPECT_EQ(entries[1].text, "breakfast.txt");

    // Published from the share: its line is what the display shows.
    WaitForAboutToClose();
    Tick("offers.txt");
    SetField("0");
    Publish();
    EXPECT_EQ(WaitForStored("0"), "0");
    SleepSeconds(1.5); // the first message's sweep has ended
    int top = session.WindowRect("PlumwickMainText").y;
    Image published = session.Screenshot();
    EXPECT_EQ(session.Send("DLTtwo for one"), 0);
    SleepSeconds(1.5);
    EXPECT_TRUE(SameBand(session.Screenshot(), published, top, top + 90));
    EXPECT_EQ(session.Send("DLTlocal"), 0);
    SleepSeconds(1.5);
    EXPECT_FALSE(SameBand(session.Screenshot(), published, top, top + 90));
}

// A ContentFolder the current directory would decide is refused with a notice; Text\ stays.
TEST_F(ContentManager, AnUnusableContentFolderIsToldAndTextStays) {
    EmptyTextFolder();
    WriteBytes(TextFolder() / "local.txt", "local\r\n");
    {
        std::ofstream out(session.Folder() / "data/system/shop.ini", std::ios::binary | std::ios::app);
        out << "\r\nContentFolder=D:Text\r\n";
    }
    StartWithInterval(nullptr);
    std::string list = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find(" PlumwickNotice|") != std::string::npos; },
        10);
    EXPECT_NE(list.find("ContentFolder \"D:Text\""), std::string::npos) << list;
    std::vector<Child> entries = Entries(Children(session));
    ASSERT_EQ(entries.size(), 1u) << session.Probe({"children", kForm});
    EXPECT_EQ(entries[0].text, "local.txt");
}
