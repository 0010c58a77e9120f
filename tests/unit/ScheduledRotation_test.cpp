#include "content/ScheduledRotation.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

using Lines = std::vector<std::u16string>;
using Flags = std::vector<bool>;
using Action = TickChoice::Action;

LocalDateTime At(int y, int mo, int d, int h, int mi) {
    return {{y, mo, d}, h, mi, 0, 60};
}

} // namespace

TEST(MessageOrigins, TellWhichFilesEachMessageComesFrom) {
    const struct {
        const char* what;
        std::vector<std::u16string> files;
        SplitOption option;
        std::vector<MessageOrigin> origins;
    } cases[] = {
        {"one line per file", {u"A\r\nB\r\n", u"C"}, SplitOption::SingleBreak, {{0, 0}, {0, 0}, {1, 1}}},
        {"an empty file keeps its index",
         {u"A", u"", u"B\n"},
         SplitOption::SingleBreak,
         {{0, 0}, {2, 2}, {2, 2}}},
        {"a paragraph runs into the next file",
         {u"A\r\n\r\nB", u"C"},
         SplitOption::DoubleBreak,
         {{0, 0}, {0, 1}}},
        {"a break split over two files", {u"A\r", u"\nB"}, SplitOption::SingleBreak, {{0, 0}, {1, 1}}},
        {"leading separator", {u"\r\n\r\nA"}, SplitOption::DoubleBreak, {{0, 0}, {0, 0}}},
        {"nothing", {u"", u""}, SplitOption::SingleBreak, {}},
    };
    for (const auto& c : cases) {
        OriginatedMessages messages = BuildMessagesWithOrigins(c.files, c.option);
        EXPECT_EQ(messages.lines, BuildMessageList(c.files, c.option)) << c.what;
        EXPECT_EQ(messages.origins, c.origins) << c.what;
    }
    // Capped as a publication is: the lines past the cap are counted, not built.
    OriginatedMessages capped = BuildMessagesWithOrigins({u"a\r\nb\r\n", u"c"}, SplitOption::SingleBreak, 2);
    std::size_t leftOut = 0;
    EXPECT_EQ(capped.lines, SplitMessages(u"a\r\nb\r\nc", SplitOption::SingleBreak, 2, leftOut));
    EXPECT_EQ(capped.origins, (std::vector<MessageOrigin>{{0, 0}, {0, 0}}));
    EXPECT_EQ(capped.leftOut, leftOut);
    EXPECT_EQ(capped.leftOut, 1u);
}

TEST(DrawableLines, LetThroughNonEmptyLinesWhoseEveryFileIsOpen) {
    const Lines lines = {u"a", u"", u"b", u"spans", u"c"};
    const std::vector<MessageOrigin> origins = {{0, 0}, {0, 0}, {1, 1}, {1, 2}, {3, 3}};
    EXPECT_EQ(DrawableLines(lines, origins, {true, true, true, true}),
              (Flags{true, false, true, true, true}));
    EXPECT_EQ(DrawableLines(lines, origins, {true, true, false, true}),
              (Flags{true, false, true, false, true}));
    // An origin beyond the known files (a list and files out of step) is never drawn.
    EXPECT_EQ(DrawableLines(lines, origins, {true, true, true}), (Flags{true, false, true, true, false}));

    EXPECT_EQ(PickDrawable({false, true, false, true}, 0.0), 1u);
    EXPECT_EQ(PickDrawable({false, true, false, true}, 0.5), 3u);
    EXPECT_EQ(PickDrawable({false, true, false, true}, 1.0), 3u); // clamped
    EXPECT_EQ(PickDrawable({false, false}, 0.3), std::nullopt);
}

TEST(ScheduleGate, ClearsOnceWhenTheLastWindowClosesAndDrawsWhenOneOpens) {
    // Breakfast 06:30-10:30, evening 17:00-22:00; the clock runs through a day and is then set back.
    Schedule schedule =
        ParseSchedule(u"[breakfast.txt]\ntimes = 06:30-10:30\n[evening.txt]\ntimes = 17:00-22:00\n");
    ASSERT_TRUE(schedule.errors.empty());
    const Lines files = {u"breakfast.txt", u"evening.txt"};
    OriginatedMessages messages =
        BuildMessagesWithOrigins({u"eggs\r\ntoast\r\n", u"wine\r\n"}, SplitOption::SingleBreak);
    ScheduleGate gate;
    auto tick = [&](const LocalDateTime& now, double r) {
        return gate.Tick(messages.lines,
                         DrawableLines(messages.lines, messages.origins, FilesInWindow(schedule, files, now)),
                         r);
    };

    EXPECT_EQ(tick(At(2026, 12, 7, 6, 0), 0.0), (TickChoice{Action::Clear, 0}));
    EXPECT_EQ(tick(At(2026, 12, 7, 6, 29), 0.0), (TickChoice{Action::Nothing, 0})); // already down
    EXPECT_EQ(tick(At(2026, 12, 7, 6, 30), 0.9), (TickChoice{Action::Draw, 1}));
    EXPECT_EQ(tick(At(2026, 12, 7, 10, 30), 0.0), (TickChoice{Action::Clear, 0}));
    EXPECT_EQ(tick(At(2026, 12, 7, 17, 0), 0.0), (TickChoice{Action::Draw, 2}));
    EXPECT_FALSE(gate.Cleared());
    EXPECT_EQ(tick(At(2026, 12, 7, 22, 0), 0.0), (TickChoice{Action::Clear, 0}));
    // The clock set back into the morning window: breakfast again, at once.
    EXPECT_EQ(tick(At(2026, 12, 7, 8, 0), 0.0), (TickChoice{Action::Draw, 0}));
    // A new publication clears on its first closed tick even if the old one had cleared.
    tick(At(2026, 12, 7, 23, 0), 0.0);
    gate.Reset();
    EXPECT_EQ(tick(At(2026, 12, 7, 23, 0), 0.0), (TickChoice{Action::Clear, 0}));

    // A list with no line at all is left alone, as without a schedule.
    ScheduleGate idle;
    EXPECT_EQ(idle.Tick({u"", u""}, {false, false}, 0.0), (TickChoice{Action::Nothing, 0}));
}

TEST(ScheduledPublication, FollowsScheduleIniAsItIsReadAgain) {
    OriginatedMessages messages =
        BuildMessagesWithOrigins({u"eggs\r\ntoast\r\n", u"wine\r\n"}, SplitOption::SingleBreak);
    ScheduledPublication scheduled;
    scheduled.Publish({u"menu\\breakfast.txt", u"evening.txt"}, messages.origins);
    const LocalDateTime morning = At(2026, 12, 8, 8, 0);
    const LocalDateTime night = At(2026, 12, 8, 23, 0);

    // No schedule.ini, or one without sections: the rotation picks as usual.
    EXPECT_EQ(scheduled.Tick(messages.lines, morning, 0.0), std::nullopt);
    scheduled.SetSchedule(ParseSchedule(u"; nothing yet\n"));
    EXPECT_EQ(scheduled.Tick(messages.lines, morning, 0.0), std::nullopt);

    // A folder section covers the file below it; the evening file is not covered and always shown.
    scheduled.SetSchedule(ParseSchedule(u"[menu]\ntimes = 06:30-10:30\n"));
    EXPECT_EQ(scheduled.Tick(messages.lines, morning, 0.0), (TickChoice{Action::Draw, 0}));
    EXPECT_EQ(scheduled.Tick(messages.lines, night, 0.0), (TickChoice{Action::Draw, 2}));

    // Edited while running: the evening file closes too; the next tick takes the line down, once.
    scheduled.SetSchedule(
        ParseSchedule(u"[menu]\ntimes = 06:30-10:30\n[evening.txt]\ntimes = 17:00-22:00\n"));
    EXPECT_EQ(scheduled.Tick(messages.lines, night, 0.0), (TickChoice{Action::Clear, 0}));
    EXPECT_EQ(scheduled.Tick(messages.lines, night, 0.0), (TickChoice{Action::Nothing, 0}));
    // Edited again to open it: drawn at the next tick.
    scheduled.SetSchedule(ParseSchedule(u"[evening.txt]\ntimes = 22:00-23:30\n"));
    EXPECT_EQ(scheduled.Tick(messages.lines, night, 0.0), (TickChoice{Action::Draw, 0}));

    // A section with a line that cannot be read keeps its file off, even inside the window it meant.
    Schedule broken = ParseSchedule(u"[evening.txt]\ntimes = 22:00-23:30\ndays = Funday\n");
    ASSERT_EQ(broken.errors.size(), 1u);
    scheduled.SetSchedule(broken);
    EXPECT_EQ(scheduled.Tick(messages.lines, night, 0.9), (TickChoice{Action::Draw, 1}));
    EXPECT_NE(ScheduleErrorNotice(broken).find(u"line 3"), std::u16string::npos);
    EXPECT_EQ(ScheduleErrorNotice(ParseSchedule(u"[a.txt]\n")), u"");

    // A list that is not this publication's (lines of another count) is left to the usual pick.
    EXPECT_EQ(scheduled.Tick({u"other"}, night, 0.0), std::nullopt);

    // The content manager's caption for each file.
    EXPECT_EQ(ScheduleCaption(ParseSchedule(u"[evening.txt]\ndays = Mon-Fri\n"), u"evening.txt"),
              DescribeScheduleRule(ParseSchedule(u"[evening.txt]\ndays = Mon-Fri\n").rules[0]));
    EXPECT_EQ(ScheduleCaption(broken, u"menu\\breakfast.txt"), u"");
}

TEST(ScheduledPublication, ANewPublicationClearsAgainOnItsFirstClosedTick) {
    OriginatedMessages messages = BuildMessagesWithOrigins({u"wine\r\n"}, SplitOption::SingleBreak);
    ScheduledPublication scheduled;
    scheduled.SetSchedule(ParseSchedule(u"[*]\nuntil = 2020-01-01\n"));
    scheduled.Publish({u"evening.txt"}, messages.origins);
    const LocalDateTime now = At(2026, 12, 8, 12, 0);
    EXPECT_EQ(scheduled.Tick(messages.lines, now, 0.0), (TickChoice{Action::Clear, 0}));
    // A rebuild from the files (a message may have come from another program meanwhile) clears again.
    scheduled.Publish({u"evening.txt"}, messages.origins);
    EXPECT_EQ(scheduled.Tick(messages.lines, now, 0.0), (TickChoice{Action::Clear, 0}));
}
