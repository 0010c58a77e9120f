#include "command/StatusBoard.h"

#include "common/TextUtil.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

constexpr UnixSeconds kNow = 1796727600; // 2026-12-08T11:00:00Z

BoardStatus Sample() {
    BoardStatus status;
    status.display.version = "1.0.0";
    status.display.processId = 4242;
    status.display.mainLine = u"欢迎光临 \"Plum\"\r\n";
    status.display.karaokeLine = u" ";
    status.display.rotating = true;
    status.display.intervalSeconds = 5;
    status.display.scheme = 2;
    status.display.fontName = u"Microsoft YaHei";
    status.display.fontSize = 36;
    status.computer = u"SHOP-017";
    status.user = u"店员";
    status.started = kNow - 3600;
    status.lastChange = kNow - 90;
    return status;
}

std::u16string TextOf(const std::map<std::string, JsonValue>& object, const std::string& name) {
    const std::u16string* text = std::get_if<std::u16string>(&object.at(name));
    return text ? *text : u"<not text>";
}

} // namespace

TEST(BoardTime, UtcTextRoundTripsAndRefusesWhatIsNoTime) {
    EXPECT_EQ(UtcText(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(UtcText(kNow), "2026-12-08T11:00:00Z");
    EXPECT_EQ(UtcText(951782400), "2000-02-29T00:00:00Z");
    for (UnixSeconds when : {UnixSeconds{0}, kNow, UnixSeconds{951782400}, UnixSeconds{4102444799}}) {
        EXPECT_EQ(ParseUtcText(UtcText(when)), when);
    }
    for (const char* bad : {"2026-12-08 11:00:00Z", "2026-12-08T11:00:00", "2026-13-08T11:00:00Z",
                            "2026-02-29T11:00:00Z", "2026-12-08T24:00:00Z", "2026-12-0aT11:00:00Z", ""}) {
        EXPECT_EQ(ParseUtcText(bad), std::nullopt) << bad;
    }
}

// The file is the status line's object with the board's fields after it, and reads back field for field.
TEST(BoardJson, CarriesTheStatusFieldsAndTheBoardsOwnAndReadsBack) {
    BoardStatus status = Sample();
    status.lastProblem = u"内容文件夹无法访问\r\nThe content folder cannot be reached \xD800";
    status.lastProblemAt = kNow - 30;
    std::string json = BoardJson(status);
    std::string line = StatusJson(status.display);
    EXPECT_EQ(json.substr(0, line.size() - 1), line.substr(0, line.size() - 1));
    for (unsigned char c : json) {
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << json;
    }
    std::optional<std::map<std::string, JsonValue>> read = ParseJsonObject(json);
    ASSERT_TRUE(read) << json;
    EXPECT_EQ(TextOf(*read, "main"), u"欢迎光临 \"Plum\"\r\n");
    EXPECT_EQ(TextOf(*read, "computer"), u"SHOP-017");
    EXPECT_EQ(TextOf(*read, "user"), u"店员");
    EXPECT_EQ(TextOf(*read, "started"), u"2026-12-08T10:00:00Z");
    EXPECT_EQ(TextOf(*read, "lastChange"), u"2026-12-08T10:58:30Z");
    // The lone surrogate went out as U+FFFD: strict readers take the file.
    EXPECT_EQ(TextOf(*read, "lastProblem"),
              u"内容文件夹无法访问\r\nThe content folder cannot be reached \xFFFD");
    EXPECT_EQ(TextOf(*read, "lastProblemAt"), u"2026-12-08T10:59:30Z");
    EXPECT_EQ(std::get<bool>(read->at("running")), true);
    EXPECT_EQ(std::get<double>(read->at("pid")), 4242);
    EXPECT_EQ(std::get<double>(read->at("fontSize")), 36);

    // No problem told yet, and the file written as the program ends.
    status.lastProblem.clear();
    status.running = false;
    read = ParseJsonObject(BoardJson(status));
    ASSERT_TRUE(read);
    EXPECT_TRUE(std::holds_alternative<std::nullptr_t>(read->at("lastProblem")));
    EXPECT_TRUE(std::holds_alternative<std::nullptr_t>(read->at("lastProblemAt")));
    EXPECT_EQ(std::get<bool>(read->at("running")), false);
    EXPECT_EQ(BoardFileName(u"SHOP-017"), u"SHOP-017.json");
}

TEST(BoardJson, ReadsStrictJsonOnly) {
    auto read =
        ParseJsonObject(R"( {"a":"x\u00e9\ud83d\ude00\/","b":-1.5e2,"c":[1,{"d":[]}],"e":{},"f":null} )");
    ASSERT_TRUE(read);
    EXPECT_EQ(TextOf(*read, "a"), u"xé😀/");
    EXPECT_EQ(std::get<double>(read->at("b")), -150);
    EXPECT_TRUE(std::holds_alternative<std::nullptr_t>(read->at("c"))); // read over, kept as null
    EXPECT_TRUE(std::holds_alternative<std::nullptr_t>(read->at("e")));
    EXPECT_EQ(TextOf(*ParseJsonObject(R"({"a":"\udc00x"})"), "a"), u"\xFFFDx");
    EXPECT_TRUE(ParseJsonObject("{}"));
    for (const char* bad : {"", "[]", "{", "{\"a\":1,}", "{\"a\" 1}", "{'a':1}", "{\"a\":01}", "{\"a\":1.}",
                            "{\"a\":tru}", "{\"a\":\"\x01\"}", "{\"a\":\"\\x\"}", "{\"a\":\"\\u12\"}",
                            "{\"a\":\"\xff\"}", "{\"a\":1} x", "{\"a\":[1,]}", "{\"a\":1}{}"}) {
        EXPECT_FALSE(ParseJsonObject(bad)) << bad;
    }
    // Deep nesting is refused, not a stack overflow.
    EXPECT_FALSE(ParseJsonObject("{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}"));
}

TEST(BoardRow, SaysWhoWhatAndSinceWhenAndMarksSilentScreens) {
    BoardStatus status = Sample();
    status.lastProblem = u"The content folder cannot be reached";
    status.lastProblemAt = kNow - 30;
    status.display.held = true;
    // Read an hour east of UTC, written ten seconds ago.
    BoardRow row = ReadBoardRow(u"SHOP-017.json", BoardJson(status), kNow - 10, kNow, 60);
    EXPECT_EQ(row.computer, u"SHOP-017");
    EXPECT_EQ(row.user, u"店员");
    EXPECT_EQ(row.state, u"rotating, held");
    EXPECT_EQ(row.line, u"欢迎光临 \"Plum\"  "); // line breaks as blanks
    EXPECT_EQ(row.lastChange, u"2026-12-08 11:58");
    EXPECT_EQ(row.lastProblem, u"2026-12-08 11:59 The content folder cannot be reached");
    EXPECT_FALSE(row.stale);

    // Five minutes is still news; a second more is not.
    EXPECT_FALSE(ReadBoardRow(u"a.json", BoardJson(status), kNow - 300, kNow, 0).stale);
    row = ReadBoardRow(u"a.json", BoardJson(status), kNow - 720, kNow, 0);
    EXPECT_TRUE(row.stale);
    EXPECT_EQ(row.state, u"no news for 12 min; was rotating, held");

    status.running = false;
    status.display.locked = true;
    EXPECT_EQ(ReadBoardRow(u"a.json", BoardJson(status), kNow, kNow, 0).state, u"ended");
    status.running = true;
    status.display.rotating = false;
    status.display.held = false;
    status.display.folderReachable = false;
    EXPECT_EQ(ReadBoardRow(u"a.json", BoardJson(status), kNow, kNow, 0).state,
              u"showing, locked, content away");

    // A long line is cut; a file that is no status file is a row named after the file.
    status.display.mainLine = std::u16string(100, u'字');
    EXPECT_EQ(ReadBoardRow(u"a.json", BoardJson(status), kNow, kNow, 0).line,
              std::u16string(18, u'字') + u"...");
    // A time never set is no time.
    status.lastChange = 0;
    EXPECT_EQ(ReadBoardRow(u"a.json", BoardJson(status), kNow, kNow, 0).lastChange, u"");
    row = ReadBoardRow(u"OLD-PC.json", "{\"half\":", kNow - 3600, kNow, 0);
    EXPECT_EQ(row.computer, u"OLD-PC");
    EXPECT_EQ(row.state, u"no news for 60 min; not a status file");
    EXPECT_TRUE(row.stale);
}

TEST(BoardTable, OneAlignedRowPerScreenSortedByComputerWithTheMarkedCounted) {
    std::vector<BoardRow> rows;
    rows.push_back({u"shop-2", u"anna", u"rotating", u"早餐 7:00", u"2026-12-08 11:58", u"", false});
    rows.push_back({u"SHOP-1", u"li", u"no news for 9 min; was showing", u"Welcome", u"2026-12-08 10:00",
                    u"2026-12-08 09:59 font missing", true});
    std::string table = BoardTable(rows);
    EXPECT_EQ(
        table,
        "   COMPUTER  USER  STATE                           LINE       LAST CHANGE       LAST PROBLEM\n"
        "!  SHOP-1    li    no news for 9 min; was showing  Welcome    2026-12-08 10:00  2026-12-08 09:59 "
        "font missing\n"
        "   shop-2    anna  rotating                        早餐 7:00  2026-12-08 11:58\n"
        "2 screens, 1 marked ! (no news for more than five minutes)\n");
    EXPECT_EQ(BoardTable({}), "   COMPUTER  USER  STATE  LINE  LAST CHANGE  LAST PROBLEM\n0 screens\n");
}

TEST(BoardRetry, BacksOffFromFiveSecondsToAMinute) {
    EXPECT_EQ(BoardRetrySeconds(1), 5u);
    EXPECT_EQ(BoardRetrySeconds(2), 10u);
    EXPECT_EQ(BoardRetrySeconds(3), 20u);
    EXPECT_EQ(BoardRetrySeconds(4), 40u);
    EXPECT_EQ(BoardRetrySeconds(5), 60u);
    EXPECT_EQ(BoardRetrySeconds(500), 60u);
    EXPECT_EQ(ParseStatusSeconds(u"2"), 2u);
    EXPECT_EQ(ParseStatusSeconds(u"3600"), 3600u);
    for (const char16_t* bad : {u"", u"0", u"3601", u"-1", u"1.5", u" 2", u"99999"}) {
        EXPECT_EQ(ParseStatusSeconds(bad), std::nullopt) << Utf16ToUtf8(bad);
    }
}

TEST(StatusFolder, OnlyAFullPathIsTaken) {
    for (const char16_t* good : {u"\\\\headoffice\\board$", u"\\\\server\\share\\screens\\", u"D:\\Board",
                                 u"n:\\", u"C:/Board/Shop 1", u"//server/board"}) {
        EXPECT_EQ(StatusFolderProblem(good, good), std::nullopt) << Utf16ToUtf8(good);
    }
    EXPECT_EQ(StatusFolderProblem(u"Board", u"Board"), u"StatusFolder \"Board\" is no full path (write a "
                                                       u"drive's folder such as D:\\Board or a share such as "
                                                       u"\\\\server\\board); no status file is written");
    for (const char16_t* bad : {u"\\Board", u"D:Board", u"..\\Board", u"\\\\\\x", u"D:\\a|b", u"x"}) {
        EXPECT_NE(StatusFolderProblem(bad, bad), std::nullopt) << Utf16ToUtf8(bad);
    }
    EXPECT_EQ(StatusFolderProblem(u"%BOARD%\\x", u"%BOARD%\\x"),
              u"StatusFolder \"%BOARD%\\x\" names the variable %BOARD%, which is not set on this PC; no "
              u"status file "
              u"is written");
}
