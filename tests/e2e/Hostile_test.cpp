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

namespace {

std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

// plumwick-send with the (shell-quoted) arguments, from the session's program folder; its exit code,
// standard output and standard error.
int SendTool(Session& session, const std::vector<std::string>& args, std::string* out = nullptr,
             std::string* err = nullptr) {
    std::string command =
        "cd " + Quote(session.Folder().string()) + " && " + session.Env() + " wine ./plumwick-send.exe";
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    fs::path errors = session.Folder() / "send-errors.txt";
    int status = 0;
    std::string printed = Shell(command + " 2>" + Quote(errors.string()), &status);
    if (out) {
        *out = TrimEnd(printed);
    }
    if (err) {
        *err = TrimEnd(ReadAll(errors));
    }
    return status;
}

} // namespace

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
    EXPECT_EQ(SendTool(session, {"--pipe", "DLTthrough the pipe"}), 0);
    EXPECT_EQ(SendTool(session, {"--status"}, &status), 0);
    EXPECT_NE(status.find("\"main\":\"through the pipe\""), std::string::npos) << status;
    EXPECT_TRUE(session.Running());
}
