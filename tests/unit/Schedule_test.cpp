#include "content/Schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace plumwick;

namespace {

LocalDateTime At(int y, int mo, int d, int h, int mi) {
    return {{y, mo, d}, h, mi, 0, 0};
}

std::u16string Text(const char* utf8) {
    std::u16string out;
    for (const char* p = utf8; *p; ++p) {
        out.push_back(static_cast<unsigned char>(*p));
    }
    return out;
}

std::vector<int> ErrorLines(const Schedule& schedule) {
    std::vector<int> lines;
    for (const ScheduleError& error : schedule.errors) {
        lines.push_back(error.line);
    }
    return lines;
}

// A central European zone as the injected clock sees it: UTC+1, UTC+2 from 01:00 UTC on the last Sunday
// of March to 01:00 UTC on the last Sunday of October.
std::int64_t UtcSeconds(int y, int mo, int d, int h, int mi) {
    return DaysFromCivil({y, mo, d}) * 86400 + h * 3600 + mi * 60;
}

int LastSunday(int year, int month) {
    for (int day = 31;; --day) {
        if (IsValidDate({year, month, day}) && Weekday({year, month, day}) == 6) {
            return day;
        }
    }
}

LocalDateTime CentralEuropeanClock(std::int64_t utc) {
    const CivilDate date = CivilFromDays(utc >= 0 ? utc / 86400 : -((-utc + 86399) / 86400));
    const std::int64_t summerFrom = UtcSeconds(date.year, 3, LastSunday(date.year, 3), 1, 0);
    const std::int64_t summerTo = UtcSeconds(date.year, 10, LastSunday(date.year, 10), 1, 0);
    return LocalTimeAt(utc, utc >= summerFrom && utc < summerTo ? 120 : 60);
}

// Minutes, walking UTC one minute at a time through the given UTC span, in which the rule is open.
int OpenMinutes(const ScheduleRule& rule, std::int64_t fromUtc, std::int64_t toUtc) {
    int open = 0;
    for (std::int64_t t = fromUtc; t < toUtc; t += 60) {
        open += RuleOpenAt(rule, CentralEuropeanClock(t)) ? 1 : 0;
    }
    return open;
}

const char* const kExample = "; head office, December\r\n"
                             "[breakfast.txt]\r\n"
                             "days = Mon-Fri\r\n"
                             "times = 06:30-10:30\r\n"
                             "\r\n"
                             "[offers/Christmas]   ; every file below it\r\n"
                             "Times = 17:00-23:59, 7:00-8:00\r\n"
                             "from = 2026-12-01\r\n"
                             "until = 2026-12-24\r\n"
                             "[late.txt]\n"
                             "days = fri\n"
                             "times = 22:00-02:00\n"
                             "[*]\n"
                             "days = Sat-Mon\n";

} // namespace

TEST(Calendar, CountsDaysAndWeekdaysAcrossCenturiesAndLeapYears) {
    for (std::int64_t days = -800000; days <= 800000; days += 37) {
        EXPECT_EQ(DaysFromCivil(CivilFromDays(days)), days);
    }
    EXPECT_EQ(DaysFromCivil({1970, 1, 1}), 0);
    EXPECT_EQ(DaysFromCivil({2000, 3, 1}) - DaysFromCivil({2000, 2, 28}), 2); // 2000 was a leap year
    EXPECT_EQ(DaysFromCivil({2100, 3, 1}) - DaysFromCivil({2100, 2, 28}), 1); // 2100 will not be
    EXPECT_EQ(Weekday({1970, 1, 1}), 3);                                      // Thursday
    EXPECT_EQ(Weekday({2026, 12, 8}), 1);                                     // Tuesday
    EXPECT_EQ(Weekday({1969, 12, 28}), 6);                                    // Sunday
    EXPECT_TRUE(IsValidDate({2028, 2, 29}));
    EXPECT_FALSE(IsValidDate({2026, 2, 29}));
    EXPECT_FALSE(IsValidDate({2026, 4, 31}));
    EXPECT_FALSE(IsValidDate({2026, 13, 1}));
    EXPECT_EQ(LocalTimeAt(UtcSeconds(2026, 12, 31, 23, 30), 60), (LocalDateTime{{2027, 1, 1}, 0, 30, 0, 60}));
    EXPECT_EQ(LocalTimeAt(-1, 0), (LocalDateTime{{1969, 12, 31}, 23, 59, 59, 0}));
}

TEST(ParseSchedule, ReadsSectionsForFilesFoldersAndEveryFile) {
    Schedule schedule = ParseSchedule(Text(kExample));
    EXPECT_TRUE(schedule.errors.empty());
    ASSERT_EQ(schedule.rules.size(), 4u);

    const ScheduleRule& breakfast = schedule.rules[0];
    EXPECT_EQ(breakfast.target, u"breakfast.txt");
    EXPECT_EQ(breakfast.line, 2);
    EXPECT_EQ(breakfast.days, 0x1Fu);
    EXPECT_EQ(breakfast.windows, (std::vector<TimeWindow>{{390, 630}}));
    EXPECT_FALSE(breakfast.first || breakfast.last);

    const ScheduleRule& christmas = schedule.rules[1];
    EXPECT_EQ(christmas.target, u"offers\\Christmas");
    EXPECT_EQ(christmas.days, kEveryDay);
    EXPECT_EQ(christmas.windows, (std::vector<TimeWindow>{{1020, 1439}, {420, 480}}));
    EXPECT_EQ(christmas.first, (CivilDate{2026, 12, 1}));
    EXPECT_EQ(christmas.last, (CivilDate{2026, 12, 24}));

    EXPECT_EQ(schedule.rules[2].windows, (std::vector<TimeWindow>{{1320, 120}}));
    EXPECT_EQ(schedule.rules[3].target, u"");
    EXPECT_EQ(schedule.rules[3].days, (1u << 5) | (1u << 6) | 1u); // the range wraps past Sunday

    EXPECT_EQ(DescribeScheduleRule(breakfast), u"Mon-Fri 06:30-10:30");
    EXPECT_EQ(DescribeScheduleRule(christmas), u"17:00-23:59,07:00-08:00, from 2026-12-01, until 2026-12-24");
    EXPECT_EQ(DescribeScheduleRule(schedule.rules[3]), u"Mon,Sat,Sun");
    EXPECT_EQ(DescribeScheduleRule(ScheduleRule{}), u"always");
}

TEST(ParseSchedule, ReportsEveryUnreadableLineAndKeepsItsFilesOffTheScreen) {
    const char* text = "days = Mon\n"                              // 1: before any section
                       "[a.txt]\n"                                 // 2
                       "days = Mon-Fir\n"                          // 3: no such day
                       "[b.txt]\n"                                 // 4
                       "times = 6:30-25:00, 9-10\n"                // 5: no such hour
                       "[c.txt]\n"                                 // 6
                       "from = 2026-02-30\n"                       // 7: no such date
                       "[d.txt]\n"                                 // 8
                       "from = 2026-12-24\n"                       // 9
                       "until = 2026-12-01\n"                      // 10: before from
                       "[e.txt\n"                                  // 11: no closing bracket
                       "times = 08:00-08:00\n"                     // 12: an empty window
                       "[f.txt]\n"                                 // 13
                       "tmes = 08:00-09:00\n"                      // 14: unknown key
                       "days = Mon\n"                              // 15
                       "days = Tue\n"                              // 16: twice
                       "[F.TXT]\n"                                 // 17: a second section for f.txt
                       "just words\n"                              // 18
                       "[..\\outside.txt]\n"                       // 19: climbs out of the folder
                       "[g.txt]\n"                                 // 20
                       "until =\n"                                 // 21: no value
                       "[ok.txt] ; fine\n"                         // 22
                       "times = 08:00-24:00 ; ends at midnight\n"; // 23
    Schedule schedule = ParseSchedule(Text(text));
    EXPECT_EQ(ErrorLines(schedule), (std::vector<int>{1, 3, 5, 7, 10, 11, 12, 14, 16, 17, 18, 19, 21}));
    for (const ScheduleError& error : schedule.errors) {
        EXPECT_EQ(FormatScheduleError(error).rfind("line " + std::to_string(error.line) + ": ", 0), 0u);
        EXPECT_FALSE(error.message.empty());
    }
    EXPECT_NE(schedule.errors[1].message.find("Mon-Fir"), std::string::npos);
    EXPECT_NE(schedule.errors[2].message.find("25:00"), std::string::npos);

    // A broken section keeps its file off the screen at every hour; the good one is unharmed.
    for (const char* file : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt", "g.txt"}) {
        for (int hour : {0, 8, 12, 23}) {
            EXPECT_FALSE(FileInWindow(schedule, Text(file), At(2026, 12, 7, hour, 0))) << file << " " << hour;
        }
    }
    EXPECT_TRUE(FileInWindow(schedule, u"ok.txt", At(2026, 12, 7, 23, 59)));
    // The whole day written out, as the error for an empty window suggests.
    Schedule whole = ParseSchedule(u"[a.txt]\ntimes = 00:00-24:00\n");
    EXPECT_TRUE(whole.errors.empty());
    EXPECT_TRUE(FileInWindow(whole, u"a.txt", At(2026, 12, 7, 0, 0)));
    EXPECT_TRUE(FileInWindow(whole, u"a.txt", At(2026, 12, 7, 23, 59)));
    EXPECT_FALSE(FileInWindow(schedule, u"ok.txt", At(2026, 12, 7, 7, 59)));
    EXPECT_TRUE(FileInWindow(schedule, u"unnamed.txt", At(2026, 12, 7, 3, 0)));
    // A second section for a name that gives a date clashing with the first's is reported at that line.
    EXPECT_EQ(ErrorLines(ParseSchedule(u"[a.txt]\nuntil = 2026-01-01\n[a.txt]\nfrom = 2026-02-01\n")),
              (std::vector<int>{3, 4}));
    const ScheduleRule* broken = FindScheduleRule(schedule, u"a.txt");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(DescribeScheduleRule(*broken), u"not shown (schedule.ini line 2)");
}

TEST(ParseSchedule, NormalisesTargetsAndRefusesPathsOutsideTheFolder) {
    EXPECT_EQ(NormaliseScheduleTarget(u" sub / deep\\\\a.txt "), u"sub\\deep\\a.txt");
    EXPECT_EQ(NormaliseScheduleTarget(u".\\a.txt\\"), u"a.txt");
    EXPECT_EQ(NormaliseScheduleTarget(u"sub\\..\\..\\a.txt"), std::nullopt);
    EXPECT_EQ(NormaliseScheduleTarget(u"C:\\Text\\a.txt"), std::nullopt);
    EXPECT_EQ(NormaliseScheduleTarget(u"\\\\C:\\Text"), std::nullopt);
    // Names may hold ']' and ';' themselves; the header ends at the ']' that only blanks and a comment
    // follow.
    Schedule schedule = ParseSchedule(u"[menu [new]; v2.txt] ; note [x]\ntimes = 08:00-09:00\n");
    ASSERT_TRUE(schedule.errors.empty());
    EXPECT_EQ(schedule.rules[0].target, u"menu [new]; v2.txt");
}

TEST(FileInWindow, OpensOnItsDaysTimesAndDatesAndTheMostSpecificSectionDecides) {
    Schedule schedule = ParseSchedule(Text(kExample) + u"[offers\\christmas\\all day.txt]\n");
    ASSERT_TRUE(schedule.errors.empty());
    // 2026-12-07 is a Monday.
    EXPECT_FALSE(FileInWindow(schedule, u"breakfast.txt", At(2026, 12, 7, 6, 29)));
    EXPECT_TRUE(FileInWindow(schedule, u"breakfast.txt", At(2026, 12, 7, 6, 30)));
    EXPECT_TRUE(FileInWindow(schedule, u"BREAKFAST.TXT", At(2026, 12, 11, 10, 29)));
    EXPECT_FALSE(FileInWindow(schedule, u"breakfast.txt", At(2026, 12, 11, 10, 30))); // end is exclusive
    EXPECT_FALSE(FileInWindow(schedule, u"breakfast.txt", At(2026, 12, 12, 8, 0)));   // Saturday

    // A folder's section covers every file below it, and only below it.
    EXPECT_TRUE(FileInWindow(schedule, u"offers\\christmas\\wine.txt", At(2026, 12, 1, 7, 0)));
    EXPECT_TRUE(FileInWindow(schedule, u"offers/Christmas/sub/x.txt", At(2026, 12, 24, 23, 58)));
    EXPECT_FALSE(FileInWindow(schedule, u"offers\\christmas\\wine.txt", At(2026, 11, 30, 18, 0)));
    EXPECT_FALSE(FileInWindow(schedule, u"offers\\christmas\\wine.txt", At(2026, 12, 25, 18, 0)));
    EXPECT_FALSE(FileInWindow(schedule, u"offers\\christmas\\wine.txt", At(2026, 12, 10, 12, 0)));
    // A file's own section beats its folder's: this one has no restriction of its own.
    EXPECT_TRUE(FileInWindow(schedule, u"offers\\christmas\\all day.txt", At(2026, 12, 10, 12, 0)));
    // "offers\christmas2" is not below "offers\christmas": [*] decides, Sat-Mon.
    EXPECT_TRUE(FileInWindow(schedule, u"offers\\christmas2\\a.txt", At(2026, 12, 7, 12, 0)));
    EXPECT_FALSE(FileInWindow(schedule, u"offers\\christmas2\\a.txt", At(2026, 12, 8, 12, 0)));
}

TEST(FileInWindow, AWindowPastMidnightBelongsToTheDayItStartsOn) {
    Schedule schedule = ParseSchedule(u"[late.txt]\ndays = Fri\ntimes = 22:00-02:00\nuntil = 2026-12-11\n");
    ASSERT_TRUE(schedule.errors.empty());
    // Friday 2026-12-04 22:00 to Saturday 02:00.
    EXPECT_FALSE(FileInWindow(schedule, u"late.txt", At(2026, 12, 4, 21, 59)));
    EXPECT_TRUE(FileInWindow(schedule, u"late.txt", At(2026, 12, 4, 22, 0)));
    EXPECT_TRUE(FileInWindow(schedule, u"late.txt", At(2026, 12, 5, 1, 59)));
    EXPECT_FALSE(FileInWindow(schedule, u"late.txt", At(2026, 12, 5, 2, 0)));
    EXPECT_FALSE(FileInWindow(schedule, u"late.txt", At(2026, 12, 5, 22, 30))); // Saturday evening
    EXPECT_FALSE(FileInWindow(schedule, u"late.txt", At(2026, 12, 4, 1, 0)));   // Thursday's night
    // The last date is the last day a window starts: its night runs on past midnight.
    EXPECT_TRUE(FileInWindow(schedule, u"late.txt", At(2026, 12, 12, 1, 0)));
    EXPECT_FALSE(FileInWindow(schedule, u"late.txt", At(2026, 12, 18, 23, 0)));
}

TEST(FileInWindow, FollowsTheWallClockThroughDaylightSavingChanges) {
    // 2026-03-29: at 02:00 local (01:00 UTC) the clock jumps to 03:00. 2026-10-25: at 03:00 local
    // (01:00 UTC) it goes back to 02:00, so 02:00-03:00 happens twice.
    Schedule schedule = ParseSchedule(u"[skipped.txt]\ntimes = 02:00-03:00\n"
                                      u"[around.txt]\ntimes = 01:00-04:00\n"
                                      u"[night.txt]\ntimes = 23:00-05:00\n");
    ASSERT_TRUE(schedule.errors.empty());
    const ScheduleRule& skipped = schedule.rules[0];
    const ScheduleRule& around = schedule.rules[1];
    const ScheduleRule& night = schedule.rules[2];
    const std::int64_t springFrom = UtcSeconds(2026, 3, 28, 21, 0), springTo = UtcSeconds(2026, 3, 29, 6, 0);
    const std::int64_t autumnFrom = UtcSeconds(2026, 10, 24, 20, 0),
                       autumnTo = UtcSeconds(2026, 10, 25, 6, 0);

    // The skipped hour is never shown; the repeated one is shown during both passes.
    EXPECT_EQ(OpenMinutes(skipped, springFrom, springTo), 0);
    EXPECT_EQ(OpenMinutes(skipped, autumnFrom, autumnTo), 120);
    // A window around the change is open by the wall clock: two real hours in spring, four in autumn.
    EXPECT_EQ(OpenMinutes(around, springFrom, springTo), 120);
    EXPECT_EQ(OpenMinutes(around, autumnFrom, autumnTo), 240);
    EXPECT_EQ(OpenMinutes(night, springFrom, springTo), 300);
    EXPECT_EQ(OpenMinutes(night, autumnFrom, autumnTo), 420);

    // The two passes of 02:30 read the same wall time with different offsets.
    LocalDateTime first = CentralEuropeanClock(UtcSeconds(2026, 10, 25, 0, 30));
    LocalDateTime second = CentralEuropeanClock(UtcSeconds(2026, 10, 25, 1, 30));
    EXPECT_EQ(first.hour, 2);
    EXPECT_EQ(second.hour, 2);
    EXPECT_EQ(first.utcOffsetMinutes, 120);
    EXPECT_EQ(second.utcOffsetMinutes, 60);
}
