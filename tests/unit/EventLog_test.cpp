#include "notice/EventLog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace plumwick;
namespace fs = std::filesystem;

namespace {

class TempFolder {
  public:
    TempFolder() {
        path_ = fs::temp_directory_path() /
                ("plumwick-log-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        fs::remove_all(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    const fs::path& Path() const { return path_; }

  private:
    static inline int counter_ = 0;
    fs::path path_;
};

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const LogTime kTime{2026, 12, 8, 9, 5, 7, 42, 60};

} // namespace

TEST(EventLogLine, TimeKindAndTextOnOneUtf8Line) {
    EXPECT_EQ(FormatLogTime(kTime), "2026-12-08 09:05:07.042 +01:00");
    EXPECT_EQ(FormatLogTime(LogTime{2026, 1, 2, 3, 4, 5, 6, -330}), "2026-01-02 03:04:05.006 -05:30");
    EXPECT_EQ(FormatLogLine(kTime, "notice", u"字体 \"Arial\" 未安装"),
              "2026-12-08 09:05:07.042 +01:00 notice: 字体 \"Arial\" 未安装\r\n");
    // A notice's two languages are on lines of their own on screen; in the log they stay one event.
    EXPECT_EQ(FormatLogLine(kTime, "notice", u"中文\r\nEnglish\n(x)\ry"),
              "2026-12-08 09:05:07.042 +01:00 notice: 中文 / English / (x) / y\r\n");
    // Controls cannot forge a line or a terminal sequence; a lone surrogate is mended, a pair kept.
    EXPECT_EQ(FormatLogLine(kTime, "failure", u"a\tb\x1b[2Jc\x2028\xD800\xD83D\xDE00"),
              "2026-12-08 09:05:07.042 +01:00 failure: a b [2Jc \xEF\xBF\xBD\xF0\x9F\x98\x80\r\n");
}

TEST(RollingLog, RollsAtTheLimitAndKeepsThreeFiles) {
    TempFolder folder;
    RollingLog log(folder.Path() / "plumwick" / "log", 100);
    const std::string line(40, 'a');
    // The folder is made on the first line; two lines fit, the third would pass 100 bytes.
    ASSERT_TRUE(log.Append(line));
    ASSERT_TRUE(log.Append(line));
    EXPECT_EQ(fs::file_size(log.File()), 80u);
    EXPECT_FALSE(fs::exists(log.File(1)));
    ASSERT_TRUE(log.Append(std::string(40, 'b')));
    EXPECT_EQ(Read(log.File()), std::string(40, 'b'));
    EXPECT_EQ(Read(log.File(1)), line + line);
    // Two more rolls: the oldest file goes, never a fourth.
    ASSERT_TRUE(log.Append(std::string(70, 'c')));
    ASSERT_TRUE(log.Append(std::string(70, 'd')));
    EXPECT_EQ(Read(log.File()), std::string(70, 'd'));
    EXPECT_EQ(Read(log.File(1)), std::string(70, 'c'));
    EXPECT_EQ(Read(log.File(2)), std::string(40, 'b'));
    EXPECT_FALSE(fs::exists(log.File(3)));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.Path() / "plumwick" / "log")) {
        ++files;
    }
    EXPECT_EQ(files, 3);
    // A line longer than the limit still goes in whole, into a file of its own.
    ASSERT_TRUE(log.Append(std::string(150, 'e')));
    EXPECT_EQ(fs::file_size(log.File()), 150u);
    ASSERT_TRUE(log.Append("f"));
    EXPECT_EQ(Read(log.File()), "f");
    EXPECT_EQ(fs::file_size(log.File(1)), 150u);
}

TEST(RollingLog, AFolderThatCannotBeWrittenIsAGapNotAStop) {
    TempFolder folder;
    fs::create_directories(folder.Path());
    std::ofstream(folder.Path() / "plain-file") << "x"; // a file where the folder should be: even root fails
    RollingLog log(folder.Path() / "plain-file" / "log");
    EXPECT_FALSE(log.Append("line\r\n"));

    // The process's log goes on with the next line once the folder can be written.
    OpenLog(folder.Path() / "plain-file" / "log", [] { return kTime; });
    LogEvent("start", u"plumwick");
    fs::remove(folder.Path() / "plain-file");
    LogEvent("stop", u"END");
    EXPECT_EQ(Read(folder.Path() / "plain-file" / "log" / "plumwick.log"),
              "2026-12-08 09:05:07.042 +01:00 stop: END\r\n");
    OpenLog({}, nullptr); // closed: nothing below reaches the test's folder any more
    LogEvent("stop", u"after");
    EXPECT_EQ(Read(folder.Path() / "plain-file" / "log" / "plumwick.log"),
              "2026-12-08 09:05:07.042 +01:00 stop: END\r\n");
}

TEST(RollingLog, ARepeatedLineIsCountedNotWrittenAgain) {
    TempFolder folder;
    OpenLog(folder.Path(), [] { return kTime; });
    const std::string at = "2026-12-08 09:05:07.042 +01:00 ";
    LogEvent("start", u"plumwick");
    for (int i = 0; i < 2500; ++i) {
        LogEvent("refused", u"pipe: no command");
    }
    LogEvent("refused", u"pipe HLD: out of range");
    LogEvent("refused", u"pipe HLD: out of range");
    LogEvent("stop", u"plumwick ends");
    EXPECT_EQ(Read(folder.Path() / "plumwick.log"),
              at + "start: plumwick\r\n" + at + "refused: pipe: no command\r\n" + at +
                  "refused: the line before again 1000 times\r\n" + at +
                  "refused: the line before again 1000 times\r\n" + at +
                  "refused: the line before again 499 times\r\n" + at +
                  "refused: pipe HLD: out of range\r\n" + at + "refused: the line before again 1 time\r\n" +
                  at + "stop: plumwick ends\r\n");
    OpenLog({}, nullptr);
}
