// What a shop PC does to the display: a program folder nobody may write, a second start, a hotkey that
// another program took first.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

using namespace plumwick::e2e;
namespace fs = std::filesystem;

namespace {

int CountLines(const std::string& list, const std::string& cls) {
    int count = 0;
    std::istringstream lines(list);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find(" " + cls + "|") != std::string::npos) {
            ++count;
        }
    }
    return count;
}

bool HasNotice(const std::string& list) {
    return list.find(" PlumwickNotice|") != std::string::npos;
}

// The immutable attribute stops even the administrator these tests may run as; it is taken off again
// however the test ends.
class ImmutableFolder {
  public:
    explicit ImmutableFolder(fs::path folder) : folder_(std::move(folder)) {
        int status = 0;
        Shell("chattr -R +i '" + folder_.string() + "' 2>&1", &status);
        locked_ = status == 0;
    }
    ~ImmutableFolder() { Shell("chattr -R -i '" + folder_.string() + "' 2>/dev/null"); }
    bool Locked() const { return locked_; }

  private:
    fs::path folder_;
    bool locked_ = false;
};

} // namespace

TEST(ShopPc, AProgramFolderNobodyMayWriteStartsWithoutABoxAndKeepsTheSettingsPerUser) {
    Session session;
    const fs::path settings = session.Folder() / "data/system/desktoplrc.pst";
    const std::string shipped = ReadAll(settings);
    ImmutableFolder lock(session.Folder());
    if (!lock.Locked()) {
        GTEST_SKIP() << "chattr +i is not available here";
    }
    ASSERT_TRUE(session.Start()) << "the welcome line and the command box come without anyone clicking";
    EXPECT_EQ(session.Probe({"dialogs"}), "");
    std::string list = session.WaitFor({"list"}, HasNotice, 10);
    EXPECT_NE(list.find("plumwick\\desktoplrc.pst"), std::string::npos) << "the notice says where: " << list;
    ASSERT_TRUE(session.WaitForAboutToClose());
    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_GT(CountNotDesktop(session.Screenshot(), main.y, main.y + 60), 2000) << "no welcome line drawn";
    session.SaveScreenshot("shop-pc-settings-per-user");

    // The shop's file was read and is untouched; the per-user copy holds the look in the writer's format.
    const fs::path perUser = session.PerUserSettingsFolder() / "desktoplrc.pst";
    EXPECT_EQ(ReadAll(settings), shipped);
    EXPECT_EQ(ReadAll(perUser), "Microsoft YaHei\r\n 36 \r\n 1 \r\n");
    EXPECT_EQ(session.Send("DLT 欢迎光临"), 0);

    // The next start reads the per-user copy, where a chosen look was kept.
    session.Send("END");
    ASSERT_TRUE(session.WaitForExit(10));
    {
        std::ofstream out(perUser, std::ios::binary);
        out << "Arial\r\n 20 \r\n 4 \r\n";
    }
    ASSERT_TRUE(session.Start());
    EXPECT_EQ(ReadAll(perUser), "Arial\r\n 20 \r\n 4 \r\n");
    EXPECT_EQ(ReadAll(settings), shipped);
    EXPECT_EQ(session.Probe({"dialogs"}), "");
}

TEST(ShopPc, ASecondStartShowsTheRunningContentManagerAndEnds) {
    Session session;
    ASSERT_TRUE(session.Start());
    // The operator closed the content manager; a second start brings it back.
    session.Probe({"post", "PlumwickContentManager", "0x10", "0", "0"}); // WM_CLOSE
    session.WaitFor(
        {"list"}, [](const std::string& out) { return CountLines(out, "PlumwickContentManager") == 0; }, 5);

    int status = -1;
    Shell("cd '" + session.Folder().string() + "' && " + session.Env() +
              " timeout 60 wine ./plumwick.exe >/dev/null 2>&1",
          &status);
    EXPECT_EQ(status, 0) << "the second start ends with 0";
    std::string list = session.WaitFor(
        {"list"},
        [](const std::string& out) { return out.find(" PlumwickContentManager|") != std::string::npos; }, 10);
    EXPECT_EQ(CountLines(list, "PlumwickCommandWindow"), 1) << list;
    EXPECT_TRUE(session.Visible("PlumwickContentManager")) << list;
    EXPECT_EQ(session.Send("DLT 还在"), 0);
    EXPECT_TRUE(session.Running());
}

TEST(ShopPc, AHotkeyTakenByAnotherProgramIsToldAndTheDisplayRuns) {
    Session session;
    // Another program holds Ctrl+Alt+W for the whole test.
    const fs::path held = session.Folder() / "held.txt";
    Shell("cd '" + session.Folder().string() + "' && " + session.Env() +
          " wine ./plumwick-probe.exe hold-hotkey 3 87 120 >'" + held.string() + "' 2>/dev/null &");
    for (int i = 0; i < 100 && ReadAll(held).empty(); ++i) {
        SleepSeconds(0.2);
    }
    ASSERT_EQ(ReadAll(held).substr(0, 4), "held");

    ASSERT_TRUE(session.Start());
    std::string list = session.WaitFor({"list"}, HasNotice, 10);
    EXPECT_NE(list.find("Ctrl+Alt+W 已被其他程序占用"), std::string::npos) << list;
    session.SaveScreenshot("shop-pc-hotkey-taken-notice");
    EXPECT_EQ(session.Probe({"dialogs"}), "");
    EXPECT_EQ(session.Send("LOK"), 0);
    EXPECT_EQ(session.Send("ULK"), 0) << "a sender still unlocks";
    EXPECT_TRUE(session.Running());

    // The notice goes by itself after 15 seconds.
    list = session.WaitFor(
        {"list"}, [](const std::string& out) { return !HasNotice(out); }, 25);
    EXPECT_FALSE(HasNotice(list));
}

TEST(ShopPc, AnUnusableHotkeyInShopIniIsToldAndTheDefaultStands) {
    Session session;
    {
        std::ofstream out(session.Folder() / "data/system/shop.ini", std::ios::binary | std::ios::app);
        out << "\r\nUnlockHotkey=87\r\n";
    }
    ASSERT_TRUE(session.Start());
    std::string list = session.WaitFor({"list"}, HasNotice, 10);
    EXPECT_NE(list.find("“87”"), std::string::npos) << list;
    EXPECT_NE(list.find("仍用 Ctrl+Alt+W"), std::string::npos) << list;
    // The default stands: Ctrl+Alt+W unlocks.
    ASSERT_EQ(session.Send("LOK"), 0);
    constexpr long long kTransparent = 0x20;
    ASSERT_NE(session.ExStyle("PlumwickMainText") & kTransparent, 0);
    session.PressKeys("ctrl+alt+w");
    long long style = -1;
    for (double waited = 0; waited < 5; waited += 0.2) {
        style = session.ExStyle("PlumwickMainText");
        if (style >= 0 && !(style & kTransparent)) {
            break;
        }
        SleepSeconds(0.2);
    }
    EXPECT_TRUE(style >= 0 && !(style & kTransparent)) << std::hex << style;

    EXPECT_NE(session.Probe({"foreground"}), "PlumwickNotice") << "a notice takes no focus";
    // A click closes it. (Last: under Wine, keys reach hotkeys only while one of its windows has the X
    // focus, which the closed notice takes along.)
    Session::Rect notice = session.WindowRect("PlumwickNotice");
    EXPECT_GT(notice.x, 1920 / 2) << "in the top-right corner";
    EXPECT_LT(notice.y, 100) << "in the top-right corner";
    Shell(session.Env() + " xdotool mousemove " + std::to_string(notice.x + notice.w / 2) + " " +
          std::to_string(notice.y + notice.h / 2) + " click 1");
    list = session.WaitFor(
        {"list"}, [](const std::string& out) { return !HasNotice(out); }, 5);
    EXPECT_FALSE(HasNotice(list)) << "a click closes the notice";
}

// Installed where the operator cannot write (Program Files) and with no ContentFolder set, the content lives
// in the public documents, filled from the installed Text\ the first time and the operator's from then on.
TEST(ShopPc, AProgramFolderNobodyMayWriteKeepsTheContentInThePublicDocuments) {
    Session session;
    const fs::path shared = session.DriveC() / "users/Public/Documents/plumwick/Text";
    ImmutableFolder lock(session.Folder());
    if (!lock.Locked()) {
        GTEST_SKIP() << "chattr +i is not available here";
    }
    ASSERT_FALSE(fs::exists(shared));
    ASSERT_TRUE(session.Start());
    EXPECT_EQ(ReadAll(shared / "English/welcome.txt"),
              ReadAll(session.Folder() / "Text/English/welcome.txt"));
    EXPECT_EQ(ReadAll(shared / "店内公告.txt"), ReadAll(session.Folder() / "Text/店内公告.txt"));
    std::string children =
        session.WaitFor({"children", "PlumwickContentManager"}, [](const std::string& out) {
            return out.find("|welcome.txt|") != std::string::npos;
        });
    EXPECT_NE(children.find("|welcome.txt|"), std::string::npos)
        << "the manager lists the copy: " << children;

    // The operator edits and removes files there; the next start never fills the folder again.
    session.Send("END");
    ASSERT_TRUE(session.WaitForExit(10));
    std::ofstream(shared / "店内公告.txt", std::ios::binary) << "Our own notice\r\n";
    fs::remove_all(shared / "English");
    ASSERT_TRUE(session.Start());
    children = session.WaitFor({"children", "PlumwickContentManager"}, [](const std::string& out) {
        return out.find("|店内公告.txt|") != std::string::npos;
    });
    EXPECT_NE(children.find("|店内公告.txt|"), std::string::npos) << children;
    EXPECT_EQ(children.find("|welcome.txt|"), std::string::npos) << "a removed file came back: " << children;
    EXPECT_EQ(ReadAll(shared / "店内公告.txt"), "Our own notice\r\n");
    EXPECT_FALSE(fs::exists(shared / "English"));
}
