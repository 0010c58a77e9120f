// What another program on the same desktop can do to the display and to its senders: forged window
// messages, decoys of the command pipe and the command box, and refusals a sender must not take for
// success.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace plumwick::e2e;
namespace fs = std::filesystem;

TEST(Hostile, ForgedWindowMessagesNeitherEndTheDisplayNorStopItServing) {
    Session session;
    ASSERT_TRUE(session.Start()) << "the display did not start";
    // Among them the pipe's old mailbox message, WM_APP + 19 with a pointer to nowhere.
    std::string forged = session.Probe({"forge"});
    ASSERT_NE(forged.find("posted"), std::string::npos) << forged;
    SleepSeconds(1);
    ASSERT_TRUE(session.Running()) << "the display ended after: " << forged;
    EXPECT_EQ(session.Send("DLTstill here"), 0);
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
    std::string status;
    EXPECT_EQ(session.SendTool({"--pipe", "DLTthrough the pipe"}), 0);
    EXPECT_EQ(session.SendTool({"--status"}, &status), 0);
    EXPECT_NE(status.find("\"main\":\"through the pipe\""), std::string::npos) << status;
    EXPECT_TRUE(session.Running());
}

TEST(Hostile, ARefusedCommandExitsSevenAndHoldsNothing) {
    Session session;
    ASSERT_TRUE(session.Start()) << "the display did not start";
    std::string err;
    EXPECT_EQ(session.SendTool({"--pipe", "XYZ no verb"}, nullptr, &err), 7);
    EXPECT_NE(err.find("ERR no command"), std::string::npos) << err;
    // The hold follows only a command that was shown.
    EXPECT_EQ(session.SendTool({"--pipe", "--hold", "30", "XYZ"}), 7);
    std::string status;
    EXPECT_EQ(session.SendTool({"--status"}, &status), 0);
    EXPECT_NE(status.find("\"held\":false"), std::string::npos) << status;
    // A batch counts the refusal among the failed.
    std::ofstream(session.Folder() / "mixed.bin", std::ios::binary) << std::string("DLTone\0XYZ\0DLTtwo", 17);
    std::string report;
    EXPECT_EQ(session.SendTool({"--pipe", "--batch", "mixed.bin"}, &report), 5);
    EXPECT_EQ(report, "sent 2, failed 1");
    EXPECT_EQ(session.SendTool({"--pipe", "DLTshown"}), 0);
    EXPECT_EQ(session.Send("DLTshown through the box"), 0);
}

// A pipe name is not bound to its session: a process in one session can take another session's name
// before that session's display starts. The sender then sends nothing. (Wine runs one user in one
// session, so a decoy of the sender's own user in its own session is not what this can show: the check
// establishes user and session, and such a decoy shares both.)
TEST(Hostile, ADecoyPipeInAnotherSessionGetsNothingAndTheSenderSaysWhy) {
    Session session;
    ASSERT_TRUE(session.Start()) << "the display did not start";
    fs::path decoyOut = session.Folder() / "decoy.out";
    Shell("(" + session.InFolder() + " wine ./plumwick-probe.exe decoy-pipe 7 20 >" +
          Quote(decoyOut.string()) + " 2>/dev/null &)");
    for (int i = 0; i < 100 && ReadAll(decoyOut).find("ready") == std::string::npos; ++i) {
        SleepSeconds(0.1);
    }
    ASSERT_NE(ReadAll(decoyOut).find("ready"), std::string::npos) << ReadAll(decoyOut);
    std::string err;
    EXPECT_EQ(session.SendTool({"--session", "7", "DLTfor the decoy"}, nullptr, &err), 8);
    EXPECT_NE(err.find("the command pipe's server (process "), std::string::npos) << err;
    EXPECT_NE(err.find("not in session 7"), std::string::npos) << err;
    for (int i = 0; i < 100 && ReadAll(decoyOut).find("got") == std::string::npos; ++i) {
        SleepSeconds(0.1);
    }
    EXPECT_NE(ReadAll(decoyOut).find("got 0 bytes"), std::string::npos) << ReadAll(decoyOut);
    // The display of the sender's own session is still reached.
    EXPECT_EQ(session.SendTool({"--pipe", "DLTfor the display"}), 0);
}
