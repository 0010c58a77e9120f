#include "command/PipeProtocol.h"
#include "common/TextUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plumwick;

namespace {

// Records the calls that tell which command ran; the rest do nothing.
class RecordingTarget : public CommandTarget {
  public:
    std::vector<std::string> calls;

    void StartKaraokeTimer() override {}
    void StopKaraokeTimer() override { calls.push_back("stop"); }
    void KaraokeDrawKRC(const std::u16string&, const std::u16string&, std::int16_t) override {}
    void KaraokeDrawText(const std::u16string&) override {}
    void DrawMainLine(const std::u16string& text) override { calls.push_back("main " + Utf16ToUtf8(text)); }
    void SetKaraokeText(const std::u16string&) override {}
    void ClearKaraokeSurface() override {}
    void ClearMainSurface() override {}
    void HideToolbar() override {}
    void CloseToolbar() override {}
    void CloseCommandWindow() override { calls.push_back("end"); }
    void LockDisplay(bool clickThrough) override { calls.push_back(clickThrough ? "lock" : "unlock"); }
    void HoldLine(unsigned seconds) override { calls.push_back("hold " + std::to_string(seconds)); }
    void EndHold() override {}
};

class FixedStatus : public StatusSource {
  public:
    DisplayStatus Status() override {
        ++asked;
        DisplayStatus status;
        status.mainLine = u"x";
        return status;
    }
    int asked = 0;
};

struct PipeAnswers : ::testing::Test {
    PipeReply Answer(std::string_view message) { return AnswerPipeMessage(message, target, status); }
    RecordingTarget target;
    FixedStatus status;
};

} // namespace

TEST(PipeName, IsPerSession) {
    EXPECT_EQ(PipeName(0), u"\\\\.\\pipe\\plumwick.0");
    EXPECT_EQ(PipeName(4294967295ul), u"\\\\.\\pipe\\plumwick.4294967295");
}

TEST_F(PipeAnswers, CommandsRunThroughTheInterpreterWithEveryCharacter) {
    EXPECT_EQ(Answer("DLT欢迎 光临\r\n").line, "OK");
    EXPECT_EQ(Answer(std::string("DLTa\0b", 6)).line, "OK");
    EXPECT_EQ(Answer("LOK").line, "OK");
    EXPECT_EQ(Answer("HLD30").line, "OK");
    EXPECT_EQ(target.calls, (std::vector<std::string>{"main 欢迎 光临\r\n", "main " + std::string("a\0b", 3),
                                                      "lock", "hold 30"}));
    EXPECT_EQ(status.asked, 0);
}

TEST_F(PipeAnswers, TextsThatRunNothingAreRefusedWithAReason) {
    for (std::string_view message : {"", "dlt x", "KrcMessage", "DK", "HLD", "HLD0", "HLD3601", "HLDx"}) {
        PipeReply reply = Answer(message);
        EXPECT_EQ(reply.line.rfind("ERR ", 0), 0u) << message << " -> " << reply.line;
        EXPECT_FALSE(reply.endsProgram);
    }
    EXPECT_TRUE(target.calls.empty());
}

TEST_F(PipeAnswers, BytesThatAreNotUtf8AreRefusedUnrun) {
    for (std::string_view message : {std::string_view("DLT\xff\xfe"), std::string_view("DLT\xc0\xaf"),
                                     std::string_view("DLT\xed\xa0\x80"), std::string_view("?status\x80")}) {
        EXPECT_EQ(Answer(message).line, "ERR message is not UTF-8");
    }
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(status.asked, 0);
}

TEST_F(PipeAnswers, StatusIsAQueryNotACommand) {
    for (std::string_view message : {"?status", "?status\n", "?status\r\n"}) {
        PipeReply reply = Answer(message);
        EXPECT_EQ(reply.line.substr(0, 11), "{\"version\":") << message;
    }
    EXPECT_EQ(status.asked, 3);
    EXPECT_EQ(Answer("?Status").line, "ERR unknown query");
    EXPECT_EQ(Answer("?status x").line, "ERR unknown query");
    EXPECT_EQ(Answer("?DLTx").line, "ERR unknown query"); // no verb behind a question mark
    EXPECT_TRUE(target.calls.empty());
}

TEST_F(PipeAnswers, EndRepliesOkAndSaysTheProgramEnds) {
    PipeReply reply = Answer("END");
    EXPECT_EQ(reply.line, "OK");
    EXPECT_TRUE(reply.endsProgram);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"end"}));
    EXPECT_FALSE(Answer("DLT END").endsProgram);
}

TEST(TooLongReply, NamesTheLimit) {
    EXPECT_EQ(TooLongReply(), "ERR message longer than 1048576 bytes");
}

TEST(PipeUnavailableNotice, CarriesTheReasonAfterBothLanguages) {
    std::u16string notice = PipeUnavailableNotice(u"CreateNamedPipe failed: Access is denied.");
    EXPECT_NE(notice.find(u"命令管道"), std::u16string::npos);
    EXPECT_NE(notice.find(u"command box"), std::u16string::npos);
    EXPECT_EQ(notice.substr(notice.size() - 43), u"(CreateNamedPipe failed: Access is denied.)");
}

// A refusal goes to the log with its verb and reason; the sender's text never does.
TEST(RefusalLog, NamesTheVerbAndReasonButNeverTheText) {
    EXPECT_EQ(PipeRefusalLogText("HLD99999 secret", "ERR HLD takes a whole number of seconds from 1 to 3600"),
              u"pipe HLD: HLD takes a whole number of seconds from 1 to 3600");
    EXPECT_EQ(
        PipeRefusalLogText("password=hunter2", "ERR no command (the first three characters are no verb)"),
        u"pipe: no command (the first three characters are no verb)");
    // A verb's letters cut from a long UTF-8 message; a multi-byte text before them is no verb.
    EXPECT_EQ(PipeRefusalLogText("DLT" + std::string(100, 'x'), "ERR the display is too busy"),
              u"pipe DLT: the display is too busy");
    EXPECT_EQ(PipeRefusalLogText("\xe6\xac\xa2\xe8\xbf\x8e", "ERR the display is too busy"),
              u"pipe: the display is too busy");
    EXPECT_EQ(PipeRefusalLogText("", TooLongReply()), u"pipe: message longer than 1048576 bytes");
    EXPECT_EQ(PipeRefusalLogText("DLTsecret", "OK"), std::nullopt);
    EXPECT_EQ(PipeRefusalLogText("?status", R"({"version":"1.0.0"})"), std::nullopt);

    EXPECT_EQ(RefusalLogText(u"box", u"LOK", "the display is running another command"),
              u"box LOK: the display is running another command");
    EXPECT_EQ(RefusalLogText(u"box", u"dlt", "no command"), u"box: no command");
}
