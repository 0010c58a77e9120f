// Robustness under load: ten thousand commands, valid and invalid, fed through the real command box one
// after the other, after which the display must still run, be idle and show the last line it was given.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace plumwick::e2e;

namespace {

constexpr int kBandHeight =
    60; // the main window's rows the line is drawn in (the content manager lies below)

// Deterministic mix of every verb and of the malformed commands senders produce. Nothing in it may
// begin with "END", which would end the display.
std::vector<std::string> SoakCommands(int count) {
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::string> words = {"欢迎光临",   "Plumwick", "特价",    "coffee ☕", "会员日",
                                            "9:00-21:00", "新品上市", "½ price", "谢谢惠顾", "TAB\there"};
    auto line = [&](int n) {
        std::string text;
        for (int i = 0, k = 1 + pick(6); i < k; ++i) {
            text += words[static_cast<std::size_t>(pick(static_cast<int>(words.size())))] + " ";
        }
        return text + std::to_string(n);
    };
    auto binary = [&](std::size_t length) {
        std::string bytes;
        for (std::size_t i = 0; i < length; ++i) {
            bytes.push_back(static_cast<char>(1 + pick(255))); // never NUL, the batch separator
        }
        return bytes;
    };
    const std::vector<std::string> fixed = {"",
                                            "D",
                                            "DK",
                                            "TMS",
                                            "TME",
                                            "CKT",
                                            "LOK",
                                            "ULK",
                                            "HDE",
                                            "KrcMessage",
                                            "dlt lower case",
                                            "dkcx||1||100",
                                            "end",
                                            "lok",
                                            "tms",
                                            "DKC",
                                            "DKC||",
                                            "DKC||||",
                                            "DKC|||||||",
                                            "DKCx||abc||100",
                                            "DKCx||1||abc",
                                            "DKCx||1||99999",
                                            "DKCx||1||-40000",
                                            "DKCx||0||500",
                                            "DKCx||||5",
                                            "DKC||1||100",
                                            "DKCx||1e3||1e3",
                                            "DKCx|| 2 ||  8940 ",
                                            "DLTA DLT B",
                                            "DKT",
                                            "DKTDKTDKT",
                                            "XYZ no verb",
                                            "Dlt mixed case",
                                            "  DLT leading blanks"};

    std::vector<std::string> commands;
    for (int i = 0; i < count; ++i) {
        std::string command;
        switch (pick(20)) {
        case 0:
        case 1:
        case 2:
            command = "DLT" + line(i);
            break;
        case 3:
        case 4:
            command =
                "DKC" + line(i) + "||" + std::to_string(1 + pick(3)) + "||" + std::to_string(pick(32767));
            break;
        case 5:
            command = "DKT" + line(i);
            break;
        case 6:
            command = binary(1 + static_cast<std::size_t>(pick(64)));
            break;
        case 7:
            command = pick(2) ? "DKC" + binary(40) + "||" + binary(3) + "||" + binary(5) : "DLT" + binary(80);
            break;
        default:
            command = fixed[static_cast<std::size_t>(pick(static_cast<int>(fixed.size())))];
            break;
        }
        if (i % 2000 == 1000) { // now and then a very long one (100 KB)
            std::string huge;
            while (huge.size() < 100 * 1024) {
                huge += line(i) + " ";
            }
            command = (i / 2000) % 3 == 0   ? "DLT" + huge
                      : (i / 2000) % 3 == 1 ? "DKC" + huge + "||1||8000"
                                            : huge;
        }
        if (command.rfind("END", 0) == 0) {
            command = "DLT" + command;
        }
        commands.push_back(command);
    }
    return commands;
}

} // namespace

TEST(Soak, TenThousandMixedCommandsLeaveTheDisplayRunningIdleAndShowingTheLastLine) {
    Session session;
    ASSERT_TRUE(session.Start()) << "the display did not start";
    session.MovePointer(5, 5); // away from the display, so no hover brings up the panel and toolbar
    ASSERT_TRUE(session.WaitForAboutToClose());

    const std::string lastLine = "DLT浸泡测试的最后一行 soak test, last line 10000";
    std::vector<std::string> commands = SoakCommands(10000);
    // The karaoke highlight is cleared first, so that the band shows the main window's line alone.
    commands.push_back("ULK");
    commands.push_back("CKT");
    commands.push_back(lastLine);

    std::string report;
    int status = session.SendBatch(commands, &report, 20);
    EXPECT_EQ(status, 0) << report;
    EXPECT_EQ(report, "sent " + std::to_string(commands.size()) + ", failed 0");
    ASSERT_TRUE(session.Running()) << "the display ended during the soak";
    EXPECT_EQ(session.Probe({"find-box"}), "yes") << "the command box is not idle";

    int top = session.WindowRect("PlumwickMainText").y;
    SleepSeconds(0.5);
    Image afterSoak = session.Screenshot();
    session.SaveScreenshot("soak-after");
    ASSERT_GT(CountNotDesktop(afterSoak, top, top + kBandHeight), 500) << "no line is shown after the soak";

    // The same line drawn again after another one gives the same picture: the soak left nothing behind.
    ASSERT_EQ(session.Send("DLT X"), 0);
    SleepSeconds(0.5);
    Image other = session.Screenshot();
    ASSERT_EQ(session.Send(lastLine), 0);
    SleepSeconds(0.5);
    Image again = session.Screenshot();
    EXPECT_FALSE(SameBand(other, again, top, top + kBandHeight)) << "the line did not change the picture";
    EXPECT_TRUE(SameBand(afterSoak, again, top, top + kBandHeight))
        << "after the soak the display did not show the last line it was given";
    if (!SameBand(afterSoak, again, top, top + kBandHeight)) {
        afterSoak.Save(WinBuildDir().parent_path() / "e2e-shots" / "soak-after.png");
        again.Save(WinBuildDir().parent_path() / "e2e-shots" / "soak-again.png");
    }
}

TEST(Soak, ABatchMayEndTheDisplayWithEndButFailsWithoutADisplay) {
    Session session;
    ASSERT_TRUE(session.Start()) << "the display did not start";
    std::string report;
    EXPECT_EQ(session.SendBatch({"DLT one", "", "TMS", "END", "DLT never sent"}, &report, 10), 0) << report;
    EXPECT_EQ(report, "sent 4, failed 0");
    ASSERT_TRUE(session.WaitForExit(10)) << "END did not end the display";

    EXPECT_NE(session.SendBatch({"DLT nobody", "TME"}, &report, 1), 0);
    EXPECT_EQ(report, "sent 0, failed 2");
}
