// What the display remembers per user across restarts: the last publication, which comes back by itself,
// and the place a drag left the line at.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace plumwick::e2e;
namespace fs = std::filesystem;

namespace {

constexpr char kForm[] = "PlumwickContentManager";
constexpr char kMain[] = "PlumwickMainText";

bool Same(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

class Memory : public ::testing::Test {
  protected:
    fs::path TextFolder() { return session.Folder() / "Text"; }
    void EmptyTextFolder() {
        fs::remove_all(TextFolder());
        fs::create_directories(TextFolder());
    }
    void StartFresh() {
        session.Probe({"regdel"});
        ASSERT_TRUE(session.Start()) << "the display did not start";
        session.MovePointer(2, 2);
    }
    // Ends the program as the toolbar's close button does, and starts it again.
    void Restart() {
        EXPECT_EQ(session.Send("END"), 0);
        ASSERT_TRUE(session.WaitForExit(10)) << "END did not end the program";
        ASSERT_TRUE(session.Start()) << "the display did not start again";
        session.MovePointer(2, 2);
    }
    bool ManagerShown() {
        return session.WaitFor(
                   {"visible", kForm}, [](const std::string& out) { return out == "1"; }, 5) == "1";
    }
    Image Reference(const std::string& line) {
        EXPECT_EQ(session.Send("DLT" + line), 0);
        SleepSeconds(0.8);
        return session.Screenshot();
    }
    // Which of the references the display shows within the time, -1 for none.
    int WaitForOneOf(const std::vector<Image>& references, double seconds) {
        int top = session.WindowRect(kMain).y;
        for (double waited = 0; waited < seconds; waited += 0.5) {
            Image shot = session.Screenshot();
            for (std::size_t k = 0; k < references.size(); ++k) {
                if (SameBand(shot, references[k], top, top + 90)) {
                    return static_cast<int>(k);
                }
            }
            SleepSeconds(0.5);
        }
        return -1;
    }

    Session session;
};

} // namespace

TEST_F(Memory, ARestartPublishesTheRememberedFilesAgainWithoutAskingAnything) {
    EmptyTextFolder();
    WriteBytes(TextFolder() / "apple.txt", "Apple line\r\n");
    WriteBytes(TextFolder() / "sub" / "banana.txt", "Banana line\r\n");
    WriteBytes(TextFolder() / "cherry.txt", "Cherry line\r\n");
    ASSERT_NO_FATAL_FAILURE(StartFresh());
    ASSERT_TRUE(ManagerShown()) << "nothing remembered yet: the content manager shows";
    ASSERT_TRUE(session.WaitForAboutToClose());
    std::vector<Image> references = {Reference("Apple line"), Reference("Banana line"),
                                     Reference("Cherry line")};

    ASSERT_EQ(session.Probe({"check-child", kForm, "apple.txt"}), "clicked");
    ASSERT_EQ(session.Probe({"check-child", kForm, "banana.txt"}), "clicked");
    ASSERT_EQ(session.Probe({"set-child-text", kForm, "0", "2"}), "set");
    ASSERT_EQ(session.Probe({"click-child", kForm, "确定 "}), "clicked");
    session.WaitFor(
        {"regget"}, [](const std::string& out) { return out == "2"; }, 10);
    EXPECT_EQ(session.WaitFor(
                  {"memget", "LastPublication", "Files"},
                  [](const std::string& out) { return out != "<none>"; }, 5),
              "apple.txt|sub\\banana.txt");
    EXPECT_EQ(session.Probe({"memget", "LastPublication", "Split"}), "0");

    // Back by itself: no message box, the content manager stays hidden, the rotation shows the files.
    ASSERT_NO_FATAL_FAILURE(Restart());
    EXPECT_EQ(session.Probe({"dialogs"}), "");
    EXPECT_FALSE(session.Visible(kForm));
    ASSERT_TRUE(session.WaitForAboutToClose());
    int shown = WaitForOneOf(references, 8);
    EXPECT_TRUE(shown == 0 || shown == 1) << "the remembered messages did not come back (" << shown << ")";
    session.SaveScreenshot("memory-restored");

    // A file that has gone is skipped; the other is published alone.
    fs::remove(TextFolder() / "apple.txt");
    ASSERT_NO_FATAL_FAILURE(Restart());
    ASSERT_TRUE(session.WaitForAboutToClose());
    EXPECT_EQ(WaitForOneOf(references, 8), 1);
    EXPECT_FALSE(session.Visible(kForm));
    EXPECT_EQ(session.Probe({"dialogs"}), "");

    // With every remembered file gone, nothing is published and the content manager shows as on a
    // first start, without a message.
    fs::remove_all(TextFolder() / "sub");
    ASSERT_NO_FATAL_FAILURE(Restart());
    EXPECT_TRUE(ManagerShown());
    EXPECT_EQ(session.Probe({"dialogs"}), "");
    EXPECT_TRUE(session.Running());
}

TEST_F(Memory, ADragMovesTheLineAsFarAsThePointerAndTheNextStartPutsItThere) {
    ASSERT_NO_FATAL_FAILURE(StartFresh());
    ASSERT_TRUE(session.WaitForAboutToClose());
    Session::Rect main0 = session.WindowRect(kMain);
    // A pixel of the welcome line: the layered window only takes the pointer over its glyphs.
    Image shot = session.Screenshot();
    int gx = -1, gy = -1;
    for (int dy = 8; dy < 60 && gx < 0; ++dy) {
        for (int x = 600; x < 1320; ++x) {
            Rgb c = shot.At(x, main0.y + dy);
            if (!Same(c, Session::kDesktop) && c.r + c.g + c.b > 200) {
                gx = x;
                gy = main0.y + dy;
                break;
            }
        }
    }
    ASSERT_GE(gx, 0) << "no welcome line to grab";

    const int kPull = -120; // up, in six moves of 20 pixels
    session.MovePointer(gx, gy);
    SleepSeconds(0.3);
    Shell(session.Env() + " xdotool mousedown 1");
    for (int i = 1; i <= 6; ++i) {
        session.MovePointer(gx, gy + kPull * i / 6);
        SleepSeconds(0.1);
    }
    Shell(session.Env() + " xdotool mouseup 1");
    SleepSeconds(0.5);
    Session::Rect main = session.WindowRect(kMain);
    EXPECT_EQ(main.y - main0.y, kPull) << "the line does not follow the pointer one to one";
    EXPECT_EQ(main.x, main0.x);
    Session::Rect panel = session.WindowRect("PlumwickSkinPanel");
    Session::Rect karaoke = session.WindowRect("PlumwickKaraoke");
    EXPECT_EQ(main.y - panel.y, 30) << "the panel stays at its place against the line";
    EXPECT_EQ(karaoke.y, main.y);
    EXPECT_EQ(session.Probe({"memget", "DisplayPlace", "Top"}), std::to_string(main.y));

    session.MovePointer(2, 2);
    ASSERT_NO_FATAL_FAILURE(Restart());
    EXPECT_EQ(session.WindowRect(kMain).y, main.y) << "the place was not restored";
    EXPECT_EQ(session.WindowRect("PlumwickSkinPanel").y, main.y - 30);
    session.SaveScreenshot("memory-place-restored");

    // A place beyond this screen (remembered on a larger one, say) comes back inside the work area.
    EXPECT_EQ(session.Probe({"memset", "DisplayPlace", "Top", "5000"}), "");
    ASSERT_NO_FATAL_FAILURE(Restart());
    std::istringstream screen(session.Probe({"screen"}));
    int sw = 0, sh = 0, left = 0, top = 0, right = 0, bottom = 0;
    screen >> sw >> sh >> left >> top >> right >> bottom;
    Session::Rect restored = session.WindowRect(kMain);
    EXPECT_LE(restored.y + 97, bottom) << "the line's panel leaves the work area";
    EXPECT_GE(restored.y - 49, top);
}

TEST_F(Memory, ARestoreThatDiedAtTheLastStartIsNotTriedAgainTheOperatorIsTold) {
    EmptyTextFolder();
    WriteBytes(TextFolder() / "apple.txt", "Apple line\r\n");
    // What a start that died in the middle of its restore leaves behind.
    session.Probe({"regset", "2"});
    session.Probe({"memset", "LastPublication", "Files", "apple.txt"});
    session.Probe({"memset", "LastPublication", "Split", "0"});
    session.Probe({"memset", "LastPublication", "Restoring", "1"});
    ASSERT_TRUE(session.Start()) << "the display did not start";
    session.MovePointer(2, 2);
    EXPECT_TRUE(ManagerShown()) << "the restore was tried again";
    std::string list = session.WaitFor(
        {"list"}, [](const std::string& out) { return out.find("not tried again") != std::string::npos; }, 5);
    EXPECT_NE(list.find("not tried again"), std::string::npos) << "no notice says so: " << list;
    EXPECT_EQ(session.Probe({"memget", "LastPublication", "Restoring"}), "1");
    // The ticks are back; publishing them by hand is remembered, and the next start restores it again.
    ASSERT_EQ(session.Probe({"click-child", kForm, "确定 "}), "clicked");
    EXPECT_EQ(
        session.WaitFor(
            {"memget", "LastPublication", "Restoring"}, [](const std::string& out) { return out == "0"; }, 5),
        "0");
    ASSERT_NO_FATAL_FAILURE(Restart());
    EXPECT_FALSE(session.Visible(kForm));
    EXPECT_EQ(session.Probe({"memget", "LastPublication", "Restoring"}), "0");
    EXPECT_TRUE(session.Running());
}
