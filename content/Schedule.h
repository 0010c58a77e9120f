#pragma once
// schedule.ini in the content folder: when the lines of a content file, or of every file below a
// subfolder, may be shown. Head office edits one file for every shop, so a mistake in it must be found
// before it ships (plumwick-send --check-schedule) and must never put an offer up at the wrong time: a
// section with a line that cannot be read keeps its files off the screen.
//
//   ; Breakfast on weekday mornings only.
//   [breakfast.txt]
//   days  = Mon-Fri
//   times = 06:30-10:30
//
//   ; Every file below offers\christmas, evenings in December up to Christmas Eve.
//   [offers\christmas]
//   times = 17:00-23:59
//   from  = 2026-12-01
//   until = 2026-12-24
//
//   ; A window that ends before it starts runs past midnight and belongs to the day it starts on:
//   ; Friday 22:00 to Saturday 02:00 here.
//   [late.txt]
//   days  = Fri
//   times = 22:00-02:00
//
// A section names a file or folder below the content folder ('\' or '/'; letters compare without case),
// or [*] for every file. The most specific section that covers a file decides; a file that no section
// covers is always shown. Keys: days (day names or ranges, comma separated; default every day), times
// (HH:MM-HH:MM windows, comma separated, local time, end exclusive; default the whole day), from and
// until (YYYY-MM-DD, both inclusive). Comments start with ';' or '#' (after a blank, behind a header).
#include "common/AnsiCodePage.h"
#include "common/Calendar.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// Minutes of the day, end exclusive. An end at or before the start runs past midnight into the next day;
// 24:00 (1440) is allowed as an end only.
struct TimeWindow {
    int startMinute = 0;
    int endMinute = 0;
    bool operator==(const TimeWindow&) const = default;
};

inline constexpr unsigned kEveryDay = 0x7F; // bit 0 Monday ... bit 6 Sunday

struct ScheduleRule {
    std::u16string target;           // below the content folder, '\' between names; empty for [*]
    int line = 0;                    // the section's header line
    unsigned days = kEveryDay;       // days a window may start on
    std::vector<TimeWindow> windows; // empty: the whole day
    std::optional<CivilDate> first;  // first day a window may start on
    std::optional<CivilDate> last;   // last day a window may start on
    bool broken = false;             // a line of it could not be read: its files are never shown
};

struct ScheduleError {
    int line = 0;        // 1-based
    std::string message; // UTF-8, says what is wrong and what was expected
};

struct Schedule {
    std::vector<ScheduleRule> rules;
    std::vector<ScheduleError> errors; // in line order
};

// Reads the text of schedule.ini (decoded as a content file is). Every line that cannot be read is
// reported; the section it stands in, when there is one, is marked broken.
Schedule ParseSchedule(std::u16string_view text);

// The file's bytes, decoded as a content file is (byte-order mark, else UTF-8 when valid, else the ANSI
// code page), then read.
Schedule ParseScheduleFile(std::string_view bytes, const AnsiCodePage& codePage);

// "line 4: ..." for the sender and the notice.
std::string FormatScheduleError(const ScheduleError& error);

// A path below the content folder in the form the rules use: '/' as '\', no leading or doubled
// separators. Nothing for a path that climbs out of the folder or is absolute.
std::optional<std::u16string> NormaliseScheduleTarget(std::u16string_view path);

// The rule that decides for a file below the content folder: the most specific section covering it.
const ScheduleRule* FindScheduleRule(const Schedule& schedule, std::u16string_view relativePath);

// Whether the rule lets its lines be shown at the given wall time.
bool RuleOpenAt(const ScheduleRule& rule, const LocalDateTime& now);

// Whether the lines of the file (path below the content folder) may be shown at the given wall time.
bool FileInWindow(const Schedule& schedule, std::u16string_view relativePath, const LocalDateTime& now);

// The rule in a few words for the content manager, "Mon-Fri 06:30-10:30, until 2026-12-24"; "not shown
// (schedule.ini line 4)" for a broken rule.
std::u16string DescribeScheduleRule(const ScheduleRule& rule);

} // namespace plumwick
