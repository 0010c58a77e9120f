// The command channel driven from other processes, as the programs that feed the display drive it.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <string>

using namespace plumwick::e2e;

namespace {

constexpr long long kLayered = 0x80000;
constexpr long long kTransparent = 0x20;
constexpr long long kTopmost = 0x8;

class CommandChannel : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(session.Start()) << "the display did not start";
        ASSERT_TRUE(session.WaitForAboutToClose());
    }
    int MainTop() { return session.WindowRect("PlumwickMainText").y; }
    // Lets the karaoke window's load-time placement and the first tick settle.
    void Settle() { SleepSeconds(0.6); }
    Session session;
};

} // namespace

TEST_F(CommandChannel, StartsIdleWithTheWelcomeLineAboveTheTaskbar) {
    EXPECT_EQ(session.Probe({"box"}).substr(session.Probe({"box"}).find('|') + 1), "KrcMessage");
    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_EQ(main.x, 0);
    EXPECT_EQ(main.w, 1920);
    EXPECT_EQ(main.h, 646);
    EXPECT_EQ(main.y + main.h, 1080); // no taskbar under Xvfb: the window's bottom is the screen's
    EXPECT_NE(session.ExStyle("PlumwickMainText") & kTopmost, 0);
    // The command window itself stays hidden.
    EXPECT_NE(session.WindowLine("PlumwickCommandWindow").find("|FrmKrcMessage|0|"), std::string::npos);
    Settle();
    Image shot = session.Screenshot();
    EXPECT_GT(CountNotDesktop(shot, main.y, main.y + 60), 2000) << "no welcome line drawn";
    session.SaveScreenshot("command-welcome");
}

TEST_F(CommandChannel, DrawsALineOutlinedShadowedAndGradientFilled) {
    ASSERT_EQ(session.Send("DLT I"), 0);
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
    Settle();
    Image shot = session.Screenshot();
    session.SaveScreenshot("command-dlt-I");
    int top = MainTop();
    // The bold "I" is centred on the screen; find its face (scheme 1: deep blue) in a row through its middle.
    int faceLeft = -1, faceRight = -1, faceRow = -1;
    for (int y = top + 10; y < top + 45 && faceRow < 0; ++y) {
        for (int x = 900; x < 1020; ++x) {
            Rgb c = shot.At(x, y);
            bool face = c.r < 40 && c.b > 120 && c.b > c.g; // between 0x013C8F and 0x0198D4
            if (face) {
                if (faceLeft < 0) {
                    faceLeft = x;
                }
                faceRight = x;
            }
        }
        if (faceLeft >= 0 && faceRight - faceLeft >= 3) {
            faceRow = y;
        } else {
            faceLeft = faceRight = -1;
        }
    }
    ASSERT_GE(faceRow, 0) << "no face colour found";
    // Transparent around the glyph: far from it the desktop shows unchanged.
    EXPECT_TRUE(IsDesktop(shot.At(faceLeft - 12, faceRow)));
    EXPECT_TRUE(IsDesktop(shot.At(faceRight + 12, faceRow)));
    EXPECT_TRUE(IsDesktop(shot.At(960, top + 300)));
    // The shadow: right of the stem (passes at +1 and +2) and left of it (-1, -2), darker than the desktop.
    auto darker = [](Rgb c) {
        return c.r + c.g + c.b < Session::kDesktop.r + Session::kDesktop.g + Session::kDesktop.b - 40;
    };
    EXPECT_TRUE(darker(shot.At(faceRight + 2, faceRow)) || darker(shot.At(faceRight + 1, faceRow)));
    EXPECT_TRUE(darker(shot.At(faceLeft - 1, faceRow)) || darker(shot.At(faceLeft - 2, faceRow)));
}

TEST_F(CommandChannel, AnsiAndUnicodeSendersDrawTheSameChineseLine) {
    ASSERT_EQ(session.Send("DLT 欢迎光临 今日特价"), 0);
    Settle();
    int top = MainTop();
    Image unicode = session.Screenshot();
    ASSERT_EQ(session.Send("DLT other"), 0);
    ASSERT_EQ(session.Send("DLT 欢迎光临 今日特价", /*ansi=*/true), 0);
    Settle();
    Image ansi = session.Screenshot();
    EXPECT_GT(CountNotDesktop(ansi, top, top + 60), 2000);
    EXPECT_TRUE(SameBand(unicode, ansi, top, top + 80)) << "the ANSI sender's line differs";
    session.SaveScreenshot("command-chinese");
}

TEST_F(CommandChannel, LockMakesBothWindowsClickThroughAndUnlockRestoresThem) {
    ASSERT_EQ(session.Send("LOK"), 0);
    for (const char* cls : {"PlumwickMainText", "PlumwickKaraoke"}) {
        long long style = session.ExStyle(cls);
        EXPECT_EQ(style & (kLayered | kTransparent | kTopmost), kLayered | kTransparent | kTopmost) << cls;
    }
    ASSERT_EQ(session.Send("ULK"), 0);
    for (const char* cls : {"PlumwickMainText", "PlumwickKaraoke"}) {
        EXPECT_EQ(session.ExStyle(cls), kLayered | kTopmost) << cls; // every other flag cleared
    }
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
}

TEST_F(CommandChannel, BadInputNeverCrashesAndTheBoxReturnsToIdle) {
    int top = MainTop();
    ASSERT_EQ(session.Send("DLT last good line"), 0);
    Settle();
    Image good = session.Screenshot();
    for (const char* command : {"", "DK", "dlt lower case", "KrcMessage", "DKCabc||||900", "DKCabc||2||40000",
                                "DKC||||||", "TMEanything", "\x01\x02\x7f"}) {
        EXPECT_EQ(session.Send(command), 0) << command;
        EXPECT_EQ(session.Probe({"find-box"}), "yes") << command;
    }
    // A megabyte of text in one command. (Wine itself cannot deliver a WM_SETTEXT of 2 MiB of UTF-16 or
    // more to another process: its message transfer fails before the program sees the message.)
    EXPECT_EQ(session.SendFile("DKC" + std::string(1000000, '|')), 0);
    EXPECT_EQ(session.SendFile("DLT" + std::string(1000000, 'W')), 0);
    EXPECT_TRUE(session.Running());
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
    ASSERT_EQ(session.Send("DLT last good line"), 0);
    Settle();
    EXPECT_TRUE(SameBand(good, session.Screenshot(), top, top + 80));
}

TEST_F(CommandChannel, EndEndsTheProgramAndTheSenderThenSaysSo) {
    ASSERT_EQ(session.Send("END"), 0);
    EXPECT_TRUE(session.WaitForExit(15));
    EXPECT_EQ(session.Send("DLT nobody listens"), 2);
    std::string message = Shell(session.Env() + " wine " + (session.Folder() / "plumwick-send.exe").string() +
                                " 'DLT x' 2>&1 >/dev/null");
    EXPECT_NE(message.find("not running"), std::string::npos) << message;
}

TEST_F(CommandChannel, TheSenderReadsStandardInputAndUtf16FilesAndSendsNothingOnAUsageError) {
    auto sender = [&](const std::string& tail) {
        int status = 0;
        Shell("cd '" + session.Folder().string() + "' && export " + session.Env() + " && " + tail +
                  " >/dev/null 2>&1",
              &status);
        return status;
    };
    int top = MainTop();
    ASSERT_EQ(session.Send("DLT 欢迎 stdin"), 0);
    Settle();
    Image byArgument = session.Screenshot();

    ASSERT_EQ(session.Send("DLT other"), 0);
    EXPECT_EQ(sender("printf 'DLT 欢迎 stdin\\r\\n' | wine ./plumwick-send.exe -"), 0);
    Settle();
    EXPECT_TRUE(SameBand(byArgument, session.Screenshot(), top, top + 80)) << "standard input";

    ASSERT_EQ(session.Send("DLT other"), 0);
    // UTF-16 LE with its mark and a trailing line break, as Notepad saves "Unicode".
    EXPECT_EQ(
        sender(
            "printf '\\377\\376' > u16.txt && printf 'DLT 欢迎 stdin\\r\\n' | iconv -f UTF-8 -t UTF-16LE >> "
            "u16.txt && wine ./plumwick-send.exe --file u16.txt"),
        0);
    Settle();
    EXPECT_TRUE(SameBand(byArgument, session.Screenshot(), top, top + 80)) << "UTF-16 file";

    // An unquoted command is a usage error and nothing is sent: the line stays.
    EXPECT_EQ(sender("wine ./plumwick-send.exe DLT two words"), 64);
    EXPECT_EQ(sender("wine ./plumwick-send.exe --bogus 'DLT x'"), 64);
    EXPECT_EQ(sender("wine ./plumwick-send.exe --file missing.txt"), 3);
    Settle();
    EXPECT_TRUE(SameBand(byArgument, session.Screenshot(), top, top + 80)) << "a usage error sent something";
    std::string version =
        Shell(session.Env() + " wine '" + (session.Folder() / "plumwick-send.exe").string() +
              "' --version 2>/dev/null");
    EXPECT_EQ(version.substr(0, version.find_first_of("\r\n")),
              std::string("plumwick-send ") + PLUMWICK_VERSION);
}

TEST_F(CommandChannel, TypingIntoTheBoxBuildsNoCommandAndTheBoxReturnsToIdle) {
    ASSERT_EQ(session.Probe({"type-box", "LOK"}), "typed");
    SleepSeconds(0.5);
    EXPECT_EQ(session.ExStyle("PlumwickMainText") & kTransparent, 0) << "typed keystrokes locked the display";
    std::string box = session.Probe({"box"});
    EXPECT_EQ(box.substr(box.find('|') + 1), "KrcMessage");
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
    ASSERT_EQ(session.Send("LOK"), 0); // and the box still takes commands
    EXPECT_NE(session.ExStyle("PlumwickMainText") & kTransparent, 0);
}
