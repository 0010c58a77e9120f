// The settings file as the operator and the program leave it on disk.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace plumwick::e2e;
namespace fs = std::filesystem;

namespace {

void WriteAll(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

fs::path SettingsFile(Session& session) {
    return session.Folder() / "data/system/desktoplrc.pst";
}

} // namespace

TEST(SettingsFile, IsRewrittenInTheWritersFormatRightAfterStartUp) {
    struct Case {
        std::string written;
        std::string rewritten;
    };
    // Each case starts the program once.
    for (const Case& c :
         {Case{"Arial\r\n28\r\n3\r\n", "Arial\r\n 28 \r\n 3 \r\n"},
          Case{"Microsoft YaHei\r\n 10.5 \r\n 9 \r\n", "Microsoft YaHei\r\n 10.5 \r\n 1 \r\n"}}) {
        Session session;
        WriteAll(SettingsFile(session), c.written);
        ASSERT_TRUE(session.Start());
        EXPECT_EQ(ReadAll(SettingsFile(session)), c.rewritten);
        EXPECT_FALSE(fs::exists(SettingsFile(session).string() + ".bad"));
    }
}

TEST(SettingsFile, AMalformedFileIsKeptAsideAndTheProgramStartsWithDefaults) {
    Session session;
    const std::string damaged = "Arial\r\nbig\r\n";
    WriteAll(SettingsFile(session), damaged);
    ASSERT_TRUE(session.Start()) << "a damaged settings file must not end the program";
    EXPECT_EQ(ReadAll(SettingsFile(session).string() + ".bad"), damaged);
    // What could be read is kept (the font name); the rest takes the defaults.
    EXPECT_EQ(ReadAll(SettingsFile(session)), "Arial\r\n 36 \r\n 1 \r\n");
    EXPECT_EQ(session.Send("DLT still running"), 0);
}

TEST(SettingsFile, AMissingDataFolderIsCreatedWithAWellFormedFile) {
    Session session;
    fs::remove_all(session.Folder() / "data");
    ASSERT_TRUE(session.Start());
    EXPECT_EQ(ReadAll(SettingsFile(session)), "Microsoft YaHei\r\n 36 \r\n 1 \r\n");
    EXPECT_EQ(session.Send("DLT 欢迎光临"), 0);
    EXPECT_TRUE(session.Running());
}

TEST(SettingsFile, AnUnusableStoredSizeIsReadAsTheDefaultAndTheDisplayStaysReachable) {
    Session session;
    // A font the test desktop has (Arial is not there, and nothing would be drawn with it).
    const std::string huge = "Microsoft YaHei\r\n 3648 \r\n 2 \r\n";
    WriteAll(SettingsFile(session), huge);
    ASSERT_TRUE(session.Start());
    EXPECT_EQ(ReadAll(SettingsFile(session)), "Microsoft YaHei\r\n 36 \r\n 2 \r\n");
    EXPECT_EQ(ReadAll(SettingsFile(session).string() + ".bad"), huge);

    // The line is drawn at the usual size, and pointing at it brings the toolbar up.
    ASSERT_TRUE(session.WaitForAboutToClose());
    EXPECT_EQ(session.Send("DLT 梅溪 WWWWWWWW"), 0);
    SleepSeconds(0.5);
    Session::Rect main = session.WindowRect("PlumwickMainText");
    Image shot = session.Screenshot();
    EXPECT_GT(CountNotDesktop(shot, main.y, main.y + 80), 500) << "the line is not drawn";
    // Below the line, down to where the content manager opens, nothing is drawn.
    EXPECT_EQ(CountNotDesktop(shot, main.y + 100, main.y + 300), 0) << "the line is larger than size 36";
    for (int x = 700; x <= 1300 && !session.Visible("PlumwickToolbar"); x += 50) {
        session.MovePointer(x, main.y + 25);
        SleepSeconds(0.3);
    }
    EXPECT_TRUE(session.Visible("PlumwickToolbar")) << "the toolbar cannot be brought up";
    session.SaveScreenshot("settings-size-3648");
}

TEST(SettingsFile, AFontThatIsNotInstalledDrawsInTheShippedFaceIsToldAndIsKept) {
    Session session;
    // Arial is not on the test desktop; the shipped face is (mapped to the installed CJK font).
    const std::string settings = "Arial\r\n 36 \r\n 2 \r\n";
    WriteAll(SettingsFile(session), settings);
    ASSERT_TRUE(session.Start());
    std::string list = session.WaitFor(
        {"list"},
        [](const std::string& out) { return out.find("\"Arial\" is not installed") != std::string::npos; },
        5);
    EXPECT_NE(list.find("\"Arial\" is not installed"), std::string::npos) << "no notice says so: " << list;

    ASSERT_TRUE(session.WaitForAboutToClose());
    EXPECT_EQ(session.Send("DLT 梅溪 WWWWWWWW"), 0);
    SleepSeconds(0.5);
    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_GT(CountNotDesktop(session.Screenshot(), main.y, main.y + 80), 500) << "nothing is drawn";
    for (int x = 700; x <= 1300 && !session.Visible("PlumwickToolbar"); x += 50) {
        session.MovePointer(x, main.y + 25);
        SleepSeconds(0.3);
    }
    EXPECT_TRUE(session.Visible("PlumwickToolbar")) << "the toolbar cannot be brought up";
    session.SaveScreenshot("settings-font-missing");
    // The chosen name stays: installing the font brings it back.
    EXPECT_EQ(ReadAll(SettingsFile(session)), settings);
}
