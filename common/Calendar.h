#pragma once
// Dates and wall times on the proleptic Gregorian calendar, counted from 1970-01-01 as Unix time is.
#include <compare>
#include <cstdint>

namespace plumwick {

struct CivilDate {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    auto operator<=>(const CivilDate&) const = default;
};

bool IsValidDate(const CivilDate& date);
// Days since 1970-01-01 (negative before it) and back; proleptic Gregorian calendar.
std::int64_t DaysFromCivil(const CivilDate& date);
CivilDate CivilFromDays(std::int64_t days);
// 0 = Monday ... 6 = Sunday.
int Weekday(const CivilDate& date);

// The wall-clock time as the system shows it, with the offset from UTC in force at that moment. Schedules
// read only the wall time: around a daylight-saving change the wall clock skips an hour (a window inside
// it does not open that day) or shows an hour twice (a window inside it is open during both passes; the
// offset tells the passes apart). Nothing here adds to a local time, so neither can be miscounted; and a
// clock set back is simply an earlier wall time, judged afresh.
struct LocalDateTime {
    CivilDate date;
    int hour = 0;   // 0..23
    int minute = 0; // 0..59
    int second = 0; // 0..59
    int utcOffsetMinutes = 0;
    bool operator==(const LocalDateTime&) const = default;
};

// The wall time of a UTC instant (seconds since 1970-01-01 00:00 UTC) under the given offset.
LocalDateTime LocalTimeAt(std::int64_t utcSeconds, int utcOffsetMinutes);

} // namespace plumwick
