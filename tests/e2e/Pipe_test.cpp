// The command pipe, driven from other processes as a service or a monitoring script drives it: commands
// interleaved with the box's, hostile clients, the status line and a line held against the rotation.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace plumwick::e2e;
namespace fs = std::filesystem;

namespace {

constexpr char kForm[] = "PlumwickContentManager";
constexpr char kPublish[] = "确定 ";

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The raw (still escaped) value of a field of the status line: a string without its quotes, or the
// literal of a number or a boolean.
std::string Field(const std::string& json, const std::string& key) {
    std::size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) {
        return "<no " + key + ">";
    }
    std::size_t start = at + key.size() + 3;
    if (start < json.size() && json[start] == '"') {
        std::size_t end = start + 1;
        while (end < json.size() && json[end] != '"') {
            end += json[end] == '\\' ? 2 : 1;
        }
        return json.substr(start + 1, end - start - 1);
    }
    return json.substr(start, json.find_first_of(",}", start) - start);
}

class CommandPipe : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(session.Start()) << "the display did not start"; }

    // plumwick-send with the (shell-quoted) arguments; its exit code, standard output and error.
    int SendPipe(const std::string& command, std::string* err = nullptr) {
        return session.SendTool({"--pipe", command}, nullptr, err);
    }
    std::string Status() {
        std::string out;
        EXPECT_EQ(session.SendTool({"--status"}, &out), 0);
        return out;
    }
    std::string Main() { return Field(Status(), "main"); }

    // Starts a probe command in the background; its output goes to the returned file.
    fs::path ProbeInBackground(const std::string& name, const std::vector<std::string>& args) {
        fs::path output = session.Folder() / (name + ".out");
        std::string command = session.InFolder() + " wine ./plumwick-probe.exe";
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        Shell("(" + command + " >" + Quote(output.string()) + " 2>/dev/null &)");
        return output;
    }
    std::string WaitForOutput(const fs::path& file, double seconds) {
        for (double waited = 0; waited < seconds; waited += 0.25) {
            std::string text = TrimEnd(ReadText(file));
            if (!text.empty()) {
                return text;
            }
            SleepSeconds(0.25);
        }
        return "<nothing within " + std::to_string(seconds) + " s>";
    }
    void WriteFile(const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out << bytes;
    }

    Session session;
};

// Publishing needs the file in place before the content manager scans at start-up.
class CommandPipeWithContent : public CommandPipe {
  protected:
    void SetUp() override {
        fs::remove_all(session.Folder() / "Text");
        std::string text;
        for (const std::string& line : Lines()) {
            text += line + "\r\n";
        }
        WriteFile(session.Folder() / "Text" / "pipe.txt", text);
        CommandPipe::SetUp();
        session.MovePointer(2, 2);
        std::string list = session.WaitFor({"list"}, [](const std::string& out) {
            return out.find(std::string(kForm) + "| 选择要显示的内容卷|1|") != std::string::npos;
        });
        ASSERT_NE(list.find(std::string(kForm) + "| 选择要显示的内容卷|1|"), std::string::npos) << list;
    }
    static std::vector<std::string> Lines() {
        return {"rotation one", "rotation two", "rotation three", "rotation four"};
    }
    static bool IsPublished(const std::string& line) {
        for (const std::string& published : Lines()) {
            if (line == published) {
                return true;
            }
        }
        return false;
    }
    void PublishWithInterval(int seconds) {
        ASSERT_EQ(session.Probe({"check-child", kForm, "pipe.txt"}), "clicked");
        ASSERT_EQ(session.Probe({"set-child-text", kForm, "0", std::to_string(seconds)}), "set");
        ASSERT_EQ(session.Probe({"click-child", kForm, kPublish}), "clicked");
        session.WaitFor(
            {"visible", kForm}, [](const std::string& out) { return out == "0"; }, 5);
    }
    // Polls the status until the main line is a published one.
    std::string WaitForRotatedLine(double seconds) {
        std::string main;
        for (double waited = 0; waited < seconds; waited += 0.3) {
            main = Main();
            if (IsPublished(main)) {
                return main;
            }
            SleepSeconds(0.3);
        }
        return main;
    }
};

} // namespace

TEST_F(CommandPipe, CommandsFromThePipeAndTheBoxAreOneStreamDrawnAlike) {
    ASSERT_TRUE(session.WaitForAboutToClose());
    session.MovePointer(2, 2); // away from the text: no panel comes up over it
    int top = session.WindowRect("PlumwickMainText").y;
    ASSERT_EQ(session.Send("DLT 欢迎光临 I"), 0);
    SleepSeconds(0.6);
    Image fromBox = session.Screenshot();
    std::string boxMain = Main();
    ASSERT_EQ(SendPipe("DLTsomething else"), 0);
    ASSERT_EQ(SendPipe("DLT 欢迎光临 I"), 0);
    SleepSeconds(0.6);
    Image fromPipe = session.Screenshot();
    EXPECT_EQ(Main(), boxMain);
    EXPECT_GT(CountNotDesktop(fromPipe, top, top + 60), 2000);
    // The rows of the line only: the content manager below it has a blinking caret.
    EXPECT_TRUE(SameBand(fromBox, fromPipe, top, top + 60)) << "the pipe's line is drawn differently";
    if (!SameBand(fromBox, fromPipe, top, top + 60)) {
        fromBox.Save(WinBuildDir().parent_path() / "e2e-shots" / "pipe-drawn-by-box.png");
    }
    session.SaveScreenshot("pipe-drawn-like-box");

    for (int i = 0; i < 6; ++i) {
        std::string line = "line " + std::to_string(i);
        ASSERT_EQ(i % 2 ? session.Send("DLT" + line) : SendPipe("DLT" + line), 0) << line;
        EXPECT_EQ(Main(), line);
        EXPECT_EQ(session.Probe({"find-box"}), "yes");
    }

    // Every message gets one reply line; texts that run nothing say why, and the sender exits 7.
    std::string err;
    EXPECT_EQ(SendPipe("dlt lower case", &err), 7);
    EXPECT_EQ(err, "ERR no command (the first three characters are no verb)");
    EXPECT_EQ(SendPipe("HLD0", &err), 7);
    EXPECT_EQ(err.rfind("ERR HLD takes", 0), 0u) << err;
    EXPECT_EQ(SendPipe("TMS", &err), 0);
    EXPECT_EQ(err, "");
    EXPECT_EQ(Main(), "line 5");
}

TEST_F(CommandPipe, SilentHugeAndGarbageClientsNeverHoldUpTheBox) {
    WriteFile(session.Folder() / "huge.txt", "DLT" + std::string(2 * 1024 * 1024, 'W'));
    WriteFile(session.Folder() / "garbage.bin", std::string("DLT\xff\xfe\x00\xc0\xaf garbage", 16));
    fs::path silent = ProbeInBackground("silent", {"pipe-silent", "30"});
    fs::path huge = ProbeInBackground("huge", {"pipe-raw", "huge.txt"});
    fs::path garbage = ProbeInBackground("garbage", {"pipe-raw", "garbage.bin"});

    // Meanwhile the box, and the pipe's free instances, go on.
    for (int i = 0; i < 5; ++i) {
        std::string line = "box " + std::to_string(i);
        ASSERT_EQ(session.Send("DLT" + line), 0) << line;
        EXPECT_EQ(Main(), line);
    }
    EXPECT_EQ(WaitForOutput(garbage, 20), "reply|ERR message is not UTF-8");
    EXPECT_EQ(WaitForOutput(huge, 30), "reply|ERR message longer than 1048576 bytes");
    // The silent client is dropped after its idle time-out, long before the probe would give up.
    EXPECT_EQ(WaitForOutput(silent, 30), "dropped");
    EXPECT_TRUE(session.Running());
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
    EXPECT_EQ(Main(), "box 4");
    ASSERT_EQ(SendPipe("DLTafter them"), 0);
    EXPECT_EQ(Main(), "after them");
}

TEST_F(CommandPipeWithContent, StatusFollowsDltLockAndAPublication) {
    std::string status = Status();
    EXPECT_EQ(Field(status, "version"), PLUMWICK_VERSION);
    EXPECT_GT(std::stol(Field(status, "pid")), 0);
    EXPECT_EQ(Field(status, "rotating"), "false");
    EXPECT_EQ(Field(status, "interval"), "0");
    EXPECT_EQ(Field(status, "held"), "false");
    EXPECT_EQ(Field(status, "scheme"), "1");
    EXPECT_EQ(Field(status, "fontName"), "Microsoft YaHei"); // the shipped settings
    EXPECT_EQ(Field(status, "fontSize"), "36");
    for (unsigned char c : status) {
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "not printable ASCII: " << int(c);
    }

    ASSERT_EQ(SendPipe("DLT欢迎光临"), 0);
    ASSERT_EQ(session.Send("DKCSinger - Song||1||8940"), 0);
    status = Status();
    EXPECT_EQ(Field(status, "main"), "\\u6b22\\u8fce\\u5149\\u4e34");
    EXPECT_EQ(Field(status, "karaoke"), "Singer - Song");

    ASSERT_EQ(session.Send("LOK"), 0);
    EXPECT_EQ(Field(Status(), "locked"), "true");
    ASSERT_EQ(SendPipe("ULK"), 0);
    EXPECT_EQ(Field(Status(), "locked"), "false");

    PublishWithInterval(2);
    status = Status();
    EXPECT_EQ(Field(status, "rotating"), "true");
    EXPECT_EQ(Field(status, "interval"), "2");
    EXPECT_TRUE(IsPublished(WaitForRotatedLine(6))) << "the rotation never showed a published line";
}

TEST_F(CommandPipeWithContent, AHeldLineOutlastsTwoTicksThenTheRotationResumes) {
    PublishWithInterval(1);
    ASSERT_TRUE(IsPublished(WaitForRotatedLine(5)));

    // --hold sends the line, then the hold. A tick of the rotation may fall between the two (the sender
    // cannot stop that): then the hold keeps the rotated line. Either way the line shown when the hold
    // took effect stays for two ticks and more.
    ASSERT_EQ(session.SendTool({"--pipe", "--hold", "6", "DLTnow serving 42"}), 0);
    const auto start = std::chrono::steady_clock::now();
    std::string status = Status();
    EXPECT_EQ(Field(status, "held"), "true");
    EXPECT_EQ(Field(status, "rotating"), "true");
    const std::string held = Field(status, "main");
    EXPECT_TRUE(held == "now serving 42" || IsPublished(held)) << status;
    if (held != "now serving 42") {
        std::cout << "a rotation tick came between the line and its hold\n";
    }
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(3500)) {
        status = Status();
        ASSERT_EQ(Field(status, "main"), held) << "replaced while held: " << status;
        SleepSeconds(0.2);
    }
    std::string resumed = WaitForRotatedLine(6);
    EXPECT_TRUE(IsPublished(resumed)) << "the rotation did not resume: " << resumed;
    EXPECT_EQ(Field(Status(), "held"), "false");

    // A second hold replaces the first, through the box as well. (The hold goes first here, so no tick
    // can come between the line and the hold while the senders start.)
    ASSERT_EQ(session.Send("HLD600"), 0);
    ASSERT_EQ(session.Send("DLTcounter 3"), 0);
    ASSERT_EQ(session.Send("HLD2"), 0);
    EXPECT_EQ(Main(), "counter 3");
    EXPECT_TRUE(IsPublished(WaitForRotatedLine(5))) << "the 600 s hold was not replaced";
}

TEST_F(CommandPipe, EndRepliesBeforeTheProgramEnds) {
    // Another session's pipe is another display's: none runs there.
    EXPECT_EQ(session.SendTool({"--session", "4242", "--status"}), 2);
    EXPECT_EQ(session.SendTool({"--session", "4242", "DLTelsewhere"}), 2);
    EXPECT_EQ(session.SendTool({"--hold", "0", "DLTx"}), 64);
    WriteFile(session.Folder() / "end.txt", "END");
    EXPECT_EQ(session.Probe({"pipe-raw", "end.txt"}), "reply|OK");
    EXPECT_TRUE(session.WaitForExit(15));
    std::string err;
    EXPECT_EQ(session.SendTool({"--status"}, nullptr, &err), 2);
    EXPECT_NE(err.find("not running"), std::string::npos) << err;
    EXPECT_EQ(SendPipe("DLTnobody"), 2);
}
