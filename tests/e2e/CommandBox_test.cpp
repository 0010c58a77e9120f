// No command is lost, whatever its script: senders in other processes write commands in every script
// that is hard to lay out, with controls and line breaks, and after each the box is idle again and the
// command was carried out. A box whose control faults on every text it is given changes nothing.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace plumwick::e2e;

namespace {

// One command Wine's EDIT faulted on (with the CJK fonts mapped as on a Chinese Windows).
const std::u16string kFaultedOnce = u"dlt\u6032\u664D\u0F6A\uB114\u7324\u085C\u8E10";

void Append(std::u16string& text, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        text.push_back(static_cast<char16_t>(c)); // lone surrogates on purpose
    }
}

// Deterministic commands mixing Indic, Tibetan, Thai, Arabic, Syriac and Mandaic, Hebrew, Hangul with its
// jamo, combining marks, CJK, astral characters, lone surrogates, controls and every kind of line break.
// Many are or begin with LOK or ULK, so a lost command shows in the display windows' styles, not only in
// the box. Nothing begins with "END".
std::vector<std::u16string> ScriptCommands(int count) {
    struct Range {
        char32_t first, last;
    };
    const std::vector<Range> ranges = {
        {0x0900, 0x097F},   {0x0980, 0x09FF}, {0x0B80, 0x0BFF}, {0x0F00, 0x0FFF}, {0x0E00, 0x0E7F},
        {0x0600, 0x06FF},   {0x0700, 0x074F}, {0x0840, 0x085F}, {0xAC00, 0xD7A3}, {0x1100, 0x11FF},
        {0x0300, 0x036F},   {0x4E00, 0x9FFF}, {0x0020, 0x007E}, {0xD800, 0xDFFF}, {0x1F300, 0x1FAFF},
        {0x20000, 0x2A6DF}, {0x0001, 0x001F}, {0x200B, 0x206F}, {0xFFF0, 0xFFFF}, {0x0590, 0x05FF},
    };
    const std::vector<std::u16string> samples = {
        u"क्षत्रिय हिन्दी श्री",
        u"বাংলা ক্ষ",
        u"தமிழ் ஸ்ரீ",
        u"བོད་ཡིག ཀྵ སྒྲ",
        u"ภาษาไทย กำ ปั้น",
        u"العربية مَرْحَبًا ﷽",
        u"한국어 \u1100\u1161\u11A8",
        u"e\u0301\u0302\u0303\u0304\u0305\u0306\u0307\u0308\u0309\u030A\u030B\u030C",
        u"\u0301\u0F7Cx",
        u"😀 𠀀 𝕏 🏳️‍🌈",
        u"欢迎光临\r\n今日特价",
        u"one\ntwo\rthree\u2028four\u2029five",
        u"\u202Eabc\u202C\u200F\u2066x\u2069\uFEFF",
    };
    std::mt19937 random(18);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    auto text = [&]() {
        std::u16string out;
        std::size_t length = pick(100) == 0 ? 500 + pick(2500) : 1 + pick(60);
        while (out.size() < length) {
            if (pick(8) == 0) {
                out += samples[pick(samples.size())];
                continue;
            }
            const Range& r = ranges[pick(ranges.size())];
            Append(out, r.first + static_cast<char32_t>(pick(r.last - r.first + 1)));
        }
        return out;
    };

    std::vector<std::u16string> commands = {kFaultedOnce, u"DLT" + kFaultedOnce.substr(3)};
    // Every fourth command is, in turn, LOK, TME, ULK and TME: the karaoke timer that drawing starts
    // costs every command after it a tick under Wine, so it is stopped now and then.
    const std::u16string fourth[] = {u"LOK", u"TME", u"ULK", u"TME"};
    while (static_cast<int>(commands.size()) < count) {
        if (commands.size() % 4 == 3) {
            commands.push_back(fourth[commands.size() / 4 % 4]);
            continue;
        }
        // Drawing is what a command costs under Wine, so one in seven draws; the verbs that ignore what
        // follows them, and texts that are no command, carry the scripts through the box as well.
        std::u16string command;
        switch (pick(20)) {
        case 0:
            command = u"DLT" + text();
            break;
        case 1:
            command =
                u"DKC" + text() + u"||" + (pick(2) ? u"1" : text()) + u"||" + (pick(2) ? u"4000" : u"8940");
            break;
        case 2:
            command = pick(2) ? u"DKT" + text() : u"DLT" + samples[pick(samples.size())];
            break;
        case 3:
            command = std::vector<std::u16string>{u"TME", u"CKT", u"KrcMessage", u""}[pick(4)];
            break;
        case 4:
        case 5:
        case 6:
        case 7:
            command = u"dlt" + text();
            break;
        case 8:
        case 9:
        case 10:
        case 11:
            command = text();
            break;
        case 12:
        case 13:
        case 14:
            command = (pick(2) ? u"TME" : u"HDE") + text();
            break;
        default:
            command = (pick(2) ? u"LOK" : u"ULK") + text();
            break;
        }
        if (command.starts_with(u"END")) {
            command = u"DLT" + command;
        }
        commands.push_back(command);
    }
    commands.push_back(u"ULK");
    return commands;
}

// plumwick-probe send-each: every command from another process, each checked afterwards. Its report.
std::string SendEach(Session& session, const std::vector<std::u16string>& commands) {
    {
        std::ofstream out(session.Folder() / "each.bin", std::ios::binary);
        for (const std::u16string& command : commands) {
            for (char16_t unit : command) {
                out.put(static_cast<char>(unit & 0xFF)).put(static_cast<char>(unit >> 8));
            }
            out.put('\0').put('\0');
        }
    }
    return session.Probe({"send-each", "each.bin"});
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TEST(CommandBox, AControlThatFaultsOnEverySendersTextCostsNoCommand) {
    Session session;
    std::filesystem::copy_file(WinBuildDir() / "plumwick-faultingbox.exe",
                               session.Folder() / "plumwick-faultingbox.exe");
    // The start-up's welcome line is a command too: without it handled the box never becomes idle.
    ASSERT_TRUE(session.Start(30, true, "plumwick-faultingbox.exe")) << "the box never became idle";
    ASSERT_TRUE(session.WaitForAboutToClose());
    std::vector<std::u16string> commands = ScriptCommands(200);
    std::string report = SendEach(session, commands);
    EXPECT_TRUE(EndsWith(report, "sent " + std::to_string(commands.size()) + ", failed 0")) << report;

    int top = session.WindowRect("PlumwickMainText").y;
    ASSERT_EQ(session.Send("CKT"), 0);
    ASSERT_EQ(session.Send("DLT 欢迎光临 Plumwick"), 0);
    SleepSeconds(0.6);
    EXPECT_GT(CountNotDesktop(session.Screenshot(), top, top + 60), 2000) << "the line was not drawn";
    EXPECT_TRUE(session.Running());
}

TEST(CommandBox, TenThousandCommandsInEveryScriptEachLeaveTheBoxIdle) {
    Session session;
    ASSERT_TRUE(session.Start()) << "the display did not start";
    session.MovePointer(5, 5); // away from the display, so no hover brings up the panel and toolbar
    std::vector<std::u16string> commands = ScriptCommands(10000);
    std::string report = SendEach(session, commands);
    EXPECT_TRUE(EndsWith(report, "sent " + std::to_string(commands.size()) + ", failed 0")) << report;
    EXPECT_TRUE(session.Running()) << "the display ended";
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
}

namespace {

// Seconds of CPU the display's Linux process has used so far; -1 when it is not found. The session's X
// display is its own, so no other session's program is taken for it.
double DisplayCpuSeconds(Session& session) {
    std::string env = session.Env();
    std::size_t at = env.find("DISPLAY=");
    std::string display = env.substr(at, env.find(' ', at) - at);
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue; // not a process ("/proc/net/stat" is a folder)
        }
        // Wine names the process after the program; the `wine` script that started it has the name on its
        // command line too, but not as its own.
        std::string stat = ReadAll(entry.path() / "stat");
        std::size_t close = stat.rfind(')');
        if (close == std::string::npos || stat.find(" (plumwick.exe) ") == std::string::npos ||
            ReadAll(entry.path() / "environ").find(display + '\0') == std::string::npos) {
            continue;
        }
        std::istringstream fields(stat.substr(close + 2));
        std::string field;
        long long utime = 0, stime = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14) {
                utime = std::stoll(field);
            } else if (i == 15) {
                stime = std::stoll(field);
            }
        }
        return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    return -1;
}

} // namespace

TEST(CommandBox, TheBoxAnswersWhetherItTookTheTextAndALongLineCostsATickNothing) {
    Session session;
    ASSERT_TRUE(session.Start()) << "the display did not start";
    session.MovePointer(5, 5);
    // A command is answered TRUE, and the box is idle for the next. (Wine cannot carry 2 MiB of text to
    // another process, so the refusal of a text over a mebi-unit is shown by the tests inside Windows.)
    EXPECT_EQ(session.Probe({"set-box", "DLT", "a", "1000000", ""}), "TRUE|idle");
    EXPECT_TRUE(session.Running()) << "the display ended";

    // A long line swept for ever: a tick neither copies nor compares it.
    EXPECT_EQ(session.Probe({"set-box", "DKC", "y", "1000000", "||2000000000||8940"}), "TRUE|idle");
    SleepSeconds(1);
    double before = DisplayCpuSeconds(session);
    ASSERT_GE(before, 0) << "the display's process was not found";
    SleepSeconds(4);
    double used = DisplayCpuSeconds(session) - before;
    // Copying and comparing the line on every tick cost about 0.4 s here; without that, about 0.06 s.
    EXPECT_LT(used, 0.2) << "the sweep kept the display busy: " << used << " s of CPU in 4 s";
    EXPECT_EQ(session.Send("CKT"), 0);
    EXPECT_EQ(session.Probe({"find-box"}), "yes");
}
