#include "command/DisplayStatus.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace plumwick;

namespace {

bool AllAsciiPrintable(const std::string& text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(StatusJson, WritesEveryFieldOnOneAsciiLine) {
    DisplayStatus status;
    status.version = "1.2.3";
    status.processId = 4242;
    status.mainLine = u"欢迎 \"光临\"";
    status.karaokeLine.assign(1, u' '); // (a plain literal trips a false -Wrestrict in GCC 12)
    status.locked = true;
    status.rotating = true;
    status.held = false;
    status.intervalSeconds = 3;
    status.scheme = 5;
    status.fontName = u"微软雅黑";
    status.fontSize = 10.5f;
    const std::string json = StatusJson(status);
    EXPECT_EQ(json, "{\"version\":\"1.2.3\",\"pid\":4242,\"main\":\"\\u6b22\\u8fce \\\"\\u5149\\u4e34\\\"\","
                    "\"karaoke\":\" \",\"locked\":true,\"rotating\":true,\"held\":false,\"interval\":3,"
                    "\"scheme\":5,\"fontName\":\"\\u5fae\\u8f6f\\u96c5\\u9ed1\",\"fontSize\":10.5,"
                    "\"folderReachable\":true,\"folderAwaySince\":null,\"lastRebuild\":null}");
    EXPECT_TRUE(AllAsciiPrintable(json));
}

TEST(StatusJson, FontSizeIsAPlainJsonNumber) {
    DisplayStatus status;
    status.fontSize = 36.0f;
    EXPECT_NE(StatusJson(status).find("\"fontSize\":36,"), std::string::npos);
    status.fontSize = std::numeric_limits<float>::infinity();
    EXPECT_NE(StatusJson(status).find("\"fontSize\":null,"), std::string::npos);
}

TEST(StatusJson, TellsWhetherTheContentFolderAnswersAndWhenThePublicationWasBuilt) {
    DisplayStatus status;
    status.folderReachable = false;
    status.folderAwaySince = "2026-12-08 19:30";
    status.lastRebuild = "2026-12-08 18:02";
    std::string json = StatusJson(status);
    EXPECT_NE(json.find("\"folderReachable\":false,\"folderAwaySince\":\"2026-12-08 19:30\","
                        "\"lastRebuild\":\"2026-12-08 18:02\"}"),
              std::string::npos)
        << json;
}

TEST(StatusJson, CutsLongLinesAtAThousandCharactersNeverInsideAPair) {
    DisplayStatus status;
    status.mainLine = std::u16string(999, u'a') + u"\U0001F600" + u"bbbb"; // the pair is character 1000
    std::string json = StatusJson(status);
    EXPECT_NE(json.find(std::string(999, 'a') + "\\ud83d\\ude00\","), std::string::npos);
    EXPECT_EQ(json.find("bb"), std::string::npos);

    status.mainLine = std::u16string(1024 * 1024, u'x');
    status.karaokeLine = std::u16string(5000, u'y');
    json = StatusJson(status);
    EXPECT_LT(json.size(), 2300u);
    EXPECT_NE(json.find("\"main\":\"" + std::string(1000, 'x') + "\""), std::string::npos);
    EXPECT_NE(json.find("\"karaoke\":\"" + std::string(1000, 'y') + "\""), std::string::npos);
}

TEST(JsonString, EscapesWhatJsonAndAnAsciiLineCannotCarry) {
    EXPECT_EQ(JsonString(u"a\\b\"c"), "\"a\\\\b\\\"c\"");
    EXPECT_EQ(JsonString(u"\r\n\t"), "\"\\r\\n\\t\"");
    EXPECT_EQ(JsonString(std::u16string(u"\0\x01\x1f\x7f", 4)), "\"\\u0000\\u0001\\u001f\\u007f\"");
    // Strict parsers refuse a lone surrogate: it becomes U+FFFD; a pair stays a pair.
    EXPECT_EQ(JsonString(u"\xD800x\xDFFF"), "\"\\ufffdx\\ufffd\"");
    EXPECT_EQ(JsonString(u"\xDE00\xD83D"), "\"\\ufffd\\ufffd\""); // the halves in the wrong order
    EXPECT_EQ(JsonString(u"\xD83D\xD83D\xDE00\xDE00"), "\"\\ufffd\\ud83d\\ude00\\ufffd\"");
    EXPECT_EQ(JsonString(u"\u00e9\uFFFF"), "\"\\u00e9\\uffff\"");
}
