// What an administrator sees of a display from afar: its log in the user's local profile and its status
// file in a shared folder, and plumwick-send's table of a folder of status files.
#include "command/StatusBoard.h"
#include "common/TextUtil.h"
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace plumwick::e2e;
namespace fs = std::filesystem;

namespace {

class Board : public ::testing::Test {
  protected:
    // plumwick-send with the (shell-quoted) arguments; its exit code and standard output.
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

    // The share \\headoffice\board, a folder of the test's; shop.ini names it (or, byPolicy, a Group Policy
    // value over shop.ini's other folder), and the files are written every `seconds` instead of every minute.
    fs::path ShareBoard(unsigned seconds, bool byPolicy = false) {
        const fs::path board = session.Folder() / "board";
        fs::create_directories(board);
        session.MapShare("headoffice", "board", board);
        if (byPolicy) {
            AddToShopIni("StatusFolder=C:\\users\\Public");
            int status = 0;
            Shell(session.Env() + " wine reg add 'HKLM\\Software\\Policies\\plumwick' /v StatusFolder /d "
                                  "'\\\\headoffice\\board\\' /f >/dev/null 2>&1",
                  &status);
            EXPECT_EQ(status, 0) << "reg add";
        } else {
            AddToShopIni("StatusFolder=\\\\headoffice\\board\\");
        }
        session.SetEnvironment("PLUMWICK_STATUS_SECONDS", std::to_string(seconds));
        return board;
    }
    // The members of the one status file in the folder once `holds` is true of them (or at the timeout).
    template <typename Holds>
    std::map<std::string, plumwick::JsonValue> WaitForStatusFile(const fs::path& board, Holds holds,
                                                                 double timeoutSeconds = 10) {
        std::map<std::string, plumwick::JsonValue> members;
        for (double waited = 0; waited <= timeoutSeconds; waited += 0.2) {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(board, ec)) {
                if (entry.path().extension() == ".json" && entry.path().stem() != "OLD-PC") {
                    if (auto read = plumwick::ParseJsonObject(ReadAll(entry.path()))) {
                        members = *read;
                    }
                }
            }
            if (!members.empty() && holds(members)) {
                break;
            }
            SleepSeconds(0.2);
        }
        return members;
    }
    // The computer's name as Windows programs of the session see it.
    std::string ComputerName() {
        return TrimEnd(Shell(session.Env() + " wine cmd /c echo %COMPUTERNAME% 2>/dev/null"));
    }

    Session session;
};

std::string Text(const std::map<std::string, plumwick::JsonValue>& members, const std::string& name) {
    auto found = members.find(name);
    const std::u16string* text =
        found == members.end() ? nullptr : std::get_if<std::u16string>(&found->second);
    return text ? plumwick::Utf16ToUtf8(*text) : "<no " + name + ">";
}
bool Flag(const std::map<std::string, plumwick::JsonValue>& members, const std::string& name) {
    auto found = members.find(name);
    const bool* flag = found == members.end() ? nullptr : std::get_if<bool>(&found->second);
    return flag && *flag;
}

} // namespace

// Start, every notice, refused commands (verb and reason, not the text) and the stop, one line each.
TEST_F(Board, TheLogHoldsStartNoticesRefusalsAndStop) {
    AddToShopIni("ContentFolder=D:Text");
    ASSERT_TRUE(session.Start());
    EXPECT_NE(session.SendTool({"--pipe", "HLD0 secret-one"}), 0);
    EXPECT_NE(session.SendTool({"--pipe", "xyz secret-two"}), 0);
    EXPECT_EQ(session.SendTool({"--pipe", "DLTshown"}), 0);
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

// The status file is on the share from the start (the folder set by policy, over shop.ini's), follows the
// display at every period, says the program ended when it has; --board prints it beside a screen that has
// gone silent.
TEST_F(Board, AStatusFileAppearsIsRefreshedAndEndsWithTheProgram) {
    const fs::path board = ShareBoard(2, true);
    ASSERT_TRUE(session.Start());
    auto members = WaitForStatusFile(
        board, [](const auto& m) { return Text(m, "main").find("欢迎您的光临") != std::string::npos; });
    ASSERT_FALSE(members.empty()) << "no status file in " << board;
    const std::string computer = Text(members, "computer");
    EXPECT_EQ(fs::path(board / (computer + ".json")).filename().string(), computer + ".json");
    EXPECT_TRUE(fs::exists(board / (computer + ".json")));
    EXPECT_TRUE(Flag(members, "running"));
    EXPECT_NE(Text(members, "user"), "");
    EXPECT_TRUE(plumwick::ParseUtcText(Text(members, "started")));
    EXPECT_TRUE(plumwick::ParseUtcText(Text(members, "lastChange")));
    EXPECT_NE(members.find("fontName"), members.end()); // the status line's fields are all there
    EXPECT_NE(members.find("rotating"), members.end());

    // Refreshed: the new line is in the file within a period or two.
    EXPECT_EQ(session.Send("DLT看板 board line"), 0);
    members = WaitForStatusFile(board, [](const auto& m) { return Text(m, "main") == "看板 board line"; });
    EXPECT_EQ(Text(members, "main"), "看板 board line");

    // A screen whose file has not changed for ten minutes is marked.
    plumwick::BoardStatus old;
    old.computer = u"OLD-PC";
    old.user = u"li";
    old.display.mainLine = u"yesterday's offer";
    {
        std::ofstream out(board / "OLD-PC.json", std::ios::binary);
        out << plumwick::BoardJson(old) << "\r\n";
    }
    fs::last_write_time(board / "OLD-PC.json", fs::file_time_type::clock::now() - std::chrono::minutes(10));
    std::string table;
    EXPECT_EQ(session.SendTool({"--board", "\\\\headoffice\\board"}, &table), 0);
    EXPECT_NE(table.find("COMPUTER"), std::string::npos) << table;
    EXPECT_NE(table.find("!  OLD-PC"), std::string::npos) << table;
    EXPECT_NE(table.find("no news for 10 min"), std::string::npos) << table;
    EXPECT_NE(table.find("   " + computer + " "), std::string::npos) << table;
    EXPECT_NE(table.find("看板 board line"), std::string::npos) << table;
    EXPECT_NE(table.find("2 screens, 1 marked !"), std::string::npos) << table;

    // The end is on the board within two seconds of END.
    EXPECT_EQ(session.Send("END"), 0);
    members = WaitForStatusFile(
        board, [](const auto& m) { return !Flag(m, "running"); }, 2);
    EXPECT_FALSE(Flag(members, "running"));
    EXPECT_TRUE(session.WaitForExit(5));
    EXPECT_EQ(session.SendTool({"--board", "\\\\headoffice\\board"}, &table), 0);
    EXPECT_NE(table.find("ended"), std::string::npos) << table;
    // Nothing went to shop.ini's folder, and nothing but the status files is left in the board's.
    EXPECT_FALSE(fs::exists(session.DriveC() / "users/Public" / (computer + ".json")));
    for (const auto& entry : fs::directory_iterator(board)) {
        EXPECT_EQ(entry.path().extension(), ".json") << entry.path();
    }
}

// A status folder that misbehaves costs the writer's thread, never the display: with a FIFO where the
// status file and its temporary file go, the display starts, answers ?status and draws lines while the
// writer is asked every second, and END still ends it at once. (Wine opens a FIFO without waiting for a
// reader, so here the writes fail and are retried; a write that never returns is the Windows tests'
// StatusBoardWriter.AWriteThatNeverReturnsHoldsOnlyItsOwnThread.)
TEST_F(Board, AStatusFolderThatHangsNeverFreezesTheDisplay) {
    const fs::path board = ShareBoard(1);
    const std::string computer = ComputerName();
    ASSERT_FALSE(computer.empty());
    ASSERT_EQ(::mkfifo((board / (computer + ".json")).c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((board / (computer + ".json.tmp")).c_str(), 0600), 0);
    ASSERT_TRUE(session.Start());
    for (const std::string line : {"first line", "second line", "third line"}) {
        EXPECT_EQ(session.SendTool({"--pipe", "DLT" + line}), 0);
        std::string status;
        EXPECT_EQ(session.SendTool({"--status"}, &status), 0);
        EXPECT_NE(status.find("\"main\":\"" + line + "\""), std::string::npos) << status;
        SleepSeconds(1); // a period passes: the writer is asked again while it hangs
    }
    Session::Rect main = session.WindowRect("PlumwickMainText");
    EXPECT_GT(CountNotDesktop(session.Screenshot(), main.y, main.y + 60), 2000) << "no line drawn";
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(session.Send("END"), 0);
    EXPECT_TRUE(session.WaitForExit(6));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}
