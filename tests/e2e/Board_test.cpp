// What an administrator sees of a display from afar: its log in the user's local profile and its status
// file in a shared folder, and plumwick-send's table of a folder of status files.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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

class Board : public ::testing::Test {
  protected:
    // plumwick-send with the (shell-quoted) arguments; its exit code and standard output.
    int SendTool(const std::vector<std::string>& args, std::string* out = nullptr) {
        std::string command =
            "cd " + Quote(session.Folder().string()) + " && " + session.Env() + " wine ./plumwick-send.exe";
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        int status = 0;
        std::string printed = Shell(command + " 2>/dev/null", &status);
        if (out) {
            *out = TrimEnd(printed);
        }
        return status;
    }
    void AddToShopIni(const std::string& lines) {
        std::ofstream out(session.Folder() / "data/system/shop.ini", std::ios::binary | std::ios::app);
        out << "\r\n" << lines << "\r\n";
    }
    // %LOCALAPPDATA%\plumwick\log in the session's prefix.
    fs::path LogFolder() const {
        return session.PerUserSettingsFolder().parent_path().parent_path() / "Local" / "plumwick" / "log";
    }
    // Waits until the file holds `text`; its contents then (or at the timeout).
    std::string WaitForText(const fs::path& file, const std::string& text, double timeoutSeconds = 10) {
        std::string contents;
        for (double waited = 0; waited <= timeoutSeconds; waited += 0.2) {
            contents = ReadAll(file);
            if (contents.find(text) != std::string::npos) {
                break;
            }
            SleepSeconds(0.2);
        }
        return contents;
    }

    Session session;
};

} // namespace

// Start, every notice, refused commands (verb and reason, not the text) and the stop, one line each.
TEST_F(Board, TheLogHoldsStartNoticesRefusalsAndStop) {
    AddToShopIni("ContentFolder=D:Text");
    ASSERT_TRUE(session.Start());
    EXPECT_NE(SendTool({"--pipe", "HLD0 secret-one"}), 0);
    EXPECT_NE(SendTool({"--pipe", "xyz secret-two"}), 0);
    EXPECT_EQ(SendTool({"--pipe", "DLTshown"}), 0);
    const fs::path log = LogFolder() / "plumwick.log";
    std::string text = WaitForText(log, "D:Text");
    EXPECT_NE(text.find(" start: plumwick "), std::string::npos) << text;
    EXPECT_NE(text.find(" notice: "), std::string::npos) << text;
    EXPECT_NE(text.find("pipe HLD: HLD takes a whole number"), std::string::npos) << text;
    EXPECT_NE(text.find("pipe: no command"), std::string::npos) << text;
    EXPECT_EQ(text.find("secret"), std::string::npos) << text;
    EXPECT_EQ(text.find("shown"), std::string::npos) << text;
    EXPECT_EQ(session.Send("END"), 0);
    EXPECT_TRUE(session.WaitForExit(10));
    text = ReadAll(log);
    EXPECT_NE(text.find(" stop: "), std::string::npos) << text;
    // Every line: a local time with its UTC offset, a kind, the text; CR LF at the end.
    std::size_t lines = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "an unfinished line: " << text.substr(at);
        std::string line = text.substr(at, end - at);
        EXPECT_GT(line.size(), 31u);
        EXPECT_EQ(line[4], '-') << line;
        EXPECT_EQ(line[10], ' ') << line;
        EXPECT_EQ(line[19], '.') << line;
        EXPECT_TRUE(line[24] == '+' || line[24] == '-') << line;
        EXPECT_EQ(line.find('\n'), std::string::npos);
        at = end + 2;
        ++lines;
    }
    EXPECT_GE(lines, 5u);
}
