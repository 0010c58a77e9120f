// plumwick-send's contract with scripts: which arguments are accepted, which are usage errors (and that
// the error names the argument), and how --file and --stdin bytes become one command.
#include "command/SendCommandLine.h"
#include "tests/unit/TestCodePage.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace plumwick;
using namespace plumwick::send;

namespace {

ParseResult Parse(std::vector<std::u16string> args) {
    return ParseArguments(args);
}

} // namespace

TEST(SendArguments, AcceptsEachWayOfGivingTheCommand) {
    struct Case {
        std::vector<std::u16string> args;
        Source source;
        std::u16string command;
        std::u16string path;
    };
    const Case cases[] = {
        {{u"DLT 欢迎光临"}, Source::Argument, u"DLT 欢迎光临", u""},
        {{u"--ansi", u"DLT x"}, Source::Argument, u"DLT x", u""},
        {{u"DLT x", u"--ansi"}, Source::Argument, u"DLT x", u""},
        {{u"--file", u"c.txt"}, Source::File, u"", u"c.txt"},
        {{u"--file=c d.txt"}, Source::File, u"", u"c d.txt"},
        {{u"--batch", u"b.bin"}, Source::Batch, u"", u"b.bin"},
        {{u"--stdin"}, Source::Stdin, u"", u""},
        {{u"-"}, Source::Stdin, u"", u""},
        {{u"--", u"-x"}, Source::Argument, u"-x", u""},
        {{u"--", u"-"}, Source::Argument, u"-", u""},
        {{u"--", u"--help"}, Source::Argument, u"--help", u""},
        {{u""}, Source::Argument, u"", u""}, // an empty command is sent (and does nothing)
        {{u"--status"}, Source::Status, u"", u""},
        {{u"--session", u"4", u"--status"}, Source::Status, u"", u""},
        {{u"--check-schedule", u"Text\\schedule.ini"}, Source::CheckSchedule, u"", u"Text\\schedule.ini"},
        {{u"--board", u"\\\\headoffice\\board$"}, Source::Board, u"", u"\\\\headoffice\\board$"},
    };
    for (const Case& c : cases) {
        ParseResult r = ParseArguments(c.args);
        std::string where = Utf16ToUtf8(c.args[0]);
        EXPECT_EQ(r.error, "") << where;
        EXPECT_EQ(r.request.source, c.source) << where;
        EXPECT_EQ(r.request.command, c.command) << where;
        EXPECT_EQ(r.request.path, c.path) << where;
    }
}

TEST(SendArguments, ReadsSwitchesAndSeconds) {
    ParseResult r = Parse({u"--ansi", u"--wait", u"2.5", u"--timeout=30", u"--batch", u"b.bin"});
    ASSERT_EQ(r.error, "");
    EXPECT_TRUE(r.request.ansi);
    EXPECT_DOUBLE_EQ(r.request.waitSeconds, 2.5);
    EXPECT_DOUBLE_EQ(r.request.timeoutSeconds, 30);

    ParseResult piped = Parse({u"--session=4242", u"--hold", u"30", u"DLT x"});
    ASSERT_EQ(piped.error, "");
    EXPECT_TRUE(piped.request.pipe) << "a session means its pipe";
    EXPECT_EQ(piped.request.session, 4242ul);
    EXPECT_EQ(piped.request.holdSeconds, 30);
    EXPECT_TRUE(Parse({u"--pipe", u"DLT x"}).request.pipe);
    EXPECT_FALSE(Parse({u"--pipe", u"DLT x"}).request.session.has_value()) << "the sender's own session";

    ParseResult defaults = Parse({u"TMS"});
    EXPECT_FALSE(defaults.request.ansi);
    EXPECT_DOUBLE_EQ(defaults.request.waitSeconds, 0);
    EXPECT_DOUBLE_EQ(defaults.request.timeoutSeconds, 10);
    EXPECT_FALSE(defaults.request.pipe);
    EXPECT_EQ(defaults.request.holdSeconds, 0);

    EXPECT_TRUE(Parse({u"--help"}).request.help);
    EXPECT_TRUE(Parse({u"-h"}).request.help);
    EXPECT_TRUE(Parse({u"--version"}).request.version);
    EXPECT_EQ(Parse({u"--version"}).error, "") << "no command is needed to ask for the version";
}

// Every usage error names the argument at fault, and nothing is sent: the request carries no source.
TEST(SendArguments, RefusesWhatItCannotSendNamingTheArgument) {
    struct Case {
        std::vector<std::u16string> args;
        std::string named;
    };
    const Case cases[] = {
        {{u"DLT", u"two", u"words"}, "'two'"}, // an unquoted command is never sent in part
        {{u"--bogus", u"DLT x"}, "'--bogus'"},
        {{u"-x"}, "'-x'"},
        {{u"--ansi=yes", u"DLT x"}, "'--ansi'"},
        {{u"DLT x", u"--wait"}, "'--wait'"},
        {{u"--file"}, "'--file'"},
        {{u"--wait", u"soon", u"DLT x"}, "'soon'"},
        {{u"--wait", u"-1", u"DLT x"}, "'-1'"},
        {{u"--wait", u"1e9", u"DLT x"}, "'1e9'"},
        {{u"--timeout", u"0", u"--batch", u"b"}, "'0'"},
        {{u"--file", u"a.txt", u"DLT x"}, "'DLT x'"},
        {{u"DLT x", u"--stdin"}, "'--stdin'"},
        {{u"-", u"-"}, "'-'"},
        {{u"--batch", u"a", u"--file", u"b"}, "'--file'"},
        {{u"--", u"DLT x", u"--ansi"}, "'--ansi'"},
        {{u"--hold", u"0", u"DLT x"}, "'0'"},
        {{u"--hold", u"2.5", u"DLT x"}, "'2.5'"},
        {{u"--hold", u"3601", u"DLT x"}, "'3601'"},
        {{u"--session", u"one", u"DLT x"}, "'one'"},
        {{u"--session", u"-1", u"DLT x"}, "'-1'"},
        {{u"--hold", u"5", u"--status"}, "'--hold'"},
        {{u"--hold", u"5", u"--batch", u"b"}, "'--hold'"},
        {{u"--hold", u"5", u"--check-schedule", u"s.ini"}, "'--hold'"},
        {{u"--check-schedule", u"s.ini", u"DLT x"}, "only one command"},
        {{u"--hold", u"5", u"--board", u"x"}, "'--hold'"},
        {{u"--board", u"x", u"--status"}, "'--status'"},
        {{u"--status", u"DLT x"}, "'DLT x'"},
        {{u"--batch", u"b", u"--status"}, "'--status'"},
        {{u"--wait", u"1"}, "no command"},
        {{}, "no command"},
    };
    for (const Case& c : cases) {
        ParseResult r = ParseArguments(c.args);
        std::string where = c.args.empty() ? "(none)" : Utf16ToUtf8(c.args.back());
        EXPECT_NE(r.error.find(c.named), std::string::npos) << where << ": " << r.error;
        EXPECT_EQ(r.request.source, Source::None) << where;
    }
}

TEST(SendArguments, HelpListsEveryOptionAndEveryExitCode) {
    std::string help = HelpText();
    std::set<std::u16string_view> names;
    for (const OptionSpec& option : Options()) {
        EXPECT_NE(help.find(Utf16ToUtf8(option.name)), std::string::npos) << Utf16ToUtf8(option.name);
        EXPECT_TRUE(names.insert(option.name).second) << "listed twice: " << Utf16ToUtf8(option.name);
        EXPECT_FALSE(option.help.empty());
    }
    for (int code : {kExitHandled, kExitNotRunning, kExitInputUnreadable, kExitNoAnswer, kExitBatchFailed,
                     kExitBusy, kExitRefused, kExitUntrusted, kExitUsage, kExitScheduleErrors}) {
        EXPECT_NE(help.find("\n  " + std::to_string(code) + " "), std::string::npos) << code;
    }
    EXPECT_EQ(VersionText(), std::string("plumwick-send ") + PLUMWICK_VERSION);
}

TEST(SendReplies, OnlyOkIsHandledAndOnlyAJsonLineIsAStatus) {
    EXPECT_TRUE(IsHandledReply("OK"));
    for (const char* refused :
         {"ERR the display is too busy", "ERR no command", "", "OK ", "ok", "OKAY", "{}"}) {
        EXPECT_FALSE(IsHandledReply(refused)) << refused;
    }
    EXPECT_TRUE(IsStatusLine(R"({"version":"1.0.0","pid":1})"));
    EXPECT_TRUE(IsStatusLine("{}"));
    for (const char* notStatus : {"ERR no command", "OK", "", "{", "{\"a\":1}\n{}", "{\"a\":1} "}) {
        EXPECT_FALSE(IsStatusLine(notStatus)) << notStatus;
    }
}

TEST(SendInput, DecodesLikeTheContentFilesAndDropsOneTrailingLineBreak) {
    struct Case {
        std::string bytes;
        std::u16string command;
        const char* what;
    };
    const Case cases[] = {
        {"DLT x", u"DLT x", "no line break"},
        {"DLT x\n", u"DLT x", "LF"},
        {"DLT x\r\n", u"DLT x", "CR LF"},
        {"DLT x\r", u"DLT x", "CR"},
        {"DLT x\r\n\r\n", u"DLT x\r\n", "only one break"},
        {"DLT a\r\nb\n", u"DLT a\r\nb", "breaks inside stay"},
        {"\n", u"", "a lone break"},
        {"", u"", "nothing"},
        {"\xEF\xBB\xBF"
         "DLT 欢迎\r\n",
         u"DLT 欢迎", "UTF-8 with BOM"},
        {"DLT 欢迎\n", u"DLT 欢迎", "UTF-8 without BOM"},
        {std::string("\xFF\xFE"
                     "D\0L\0T\0\x22\x6B\r\0\n\0",
                     14),
         u"DLT\u6B22", "UTF-16 LE"},
        {std::string("\xFE\xFF\0D\0L\0T\0\n", 10), u"DLT", "UTF-16 BE"},
        {"DLT \xBB\xB6\xD3\xAD\r\n", u"DLT 欢迎", "ANSI (GBK)"},
        {std::string("DLT a\0b\n", 8), u"DLT a", "stops at a NUL"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeCommandInput(c.bytes, test::Gbk()), c.command) << c.what;
    }
}

TEST(SendInput, SplitsABatchAtNulBytes) {
    using V = std::vector<std::u16string>;
    EXPECT_EQ(SplitBatch(std::string("DLT a\0TMS\0", 10)), (V{u"DLT a", u"TMS"}));
    EXPECT_EQ(SplitBatch(std::string("DLT a\0\0TMS", 10)), (V{u"DLT a", u"", u"TMS"}));
    EXPECT_EQ(SplitBatch("DLT 欢迎"), (V{u"DLT 欢迎"}));
    EXPECT_EQ(SplitBatch(""), V{});
    EXPECT_EQ(SplitBatch(std::string("\xEF\xBB\xBF"
                                     "DLT\n",
                                     7)),
              (V{u"\uFEFFDLT\n"}))
        << "a batch is raw UTF-8";
}

TEST(SendScheduleCheck, PrintsEveryUnreadableLineWithItsNumber) {
    const test::IconvCodePage gbk;
    ScheduleCheck good =
        CheckScheduleFile("\xEF\xBB\xBF[\xE6\x97\xA9\xE9\xA4\x90.txt]\r\ndays = Mon-Fri\r\n", gbk);
    EXPECT_EQ(good.exitCode, kExitHandled);
    EXPECT_TRUE(good.lines.empty());

    ScheduleCheck bad =
        CheckScheduleFile("[a.txt]\r\ndays = Mon-Fir\r\n; fine\r\ntimes = 25:00-26:00\r\n", gbk);
    EXPECT_EQ(bad.exitCode, kExitScheduleErrors);
    ASSERT_EQ(bad.lines.size(), 2u);
    EXPECT_EQ(bad.lines[0].rfind("line 2: ", 0), 0u) << bad.lines[0];
    EXPECT_EQ(bad.lines[1].rfind("line 4: ", 0), 0u) << bad.lines[1];
}
