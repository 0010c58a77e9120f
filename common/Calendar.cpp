#include "common/Calendar.h"

#include <array>

namespace plumwick {

bool IsValidDate(const CivilDate& date) {
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) {
        return false;
    }
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    int inMonth = kDays[date.month - 1] + (date.month == 2 && leap ? 1 : 0);
    return date.day <= inMonth;
}

// Howard Hinnant's days-from-civil, exact over the whole proleptic Gregorian calendar.
std::int64_t DaysFromCivil(const CivilDate& date) {
    std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    std::int64_t yoe = y - era * 400;
    std::int64_t mp = (date.month + 9) % 12;
    std::int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
    std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    std::int64_t doe = days - era * 146097;
    std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    std::int64_t mp = (5 * doy + 2) / 153;
    int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

int Weekday(const CivilDate& date) {
    // 1970-01-01 was a Thursday (3).
    std::int64_t days = DaysFromCivil(date);
    return static_cast<int>(((days % 7) + 7 + 3) % 7);
}

LocalDateTime LocalTimeAt(std::int64_t utcSeconds, int utcOffsetMinutes) {
    std::int64_t local = utcSeconds + static_cast<std::int64_t>(utcOffsetMinutes) * 60;
    std::int64_t days = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
    std::int64_t secondOfDay = local - days * 86400;
    LocalDateTime time;
    time.date = CivilFromDays(days);
    time.hour = static_cast<int>(secondOfDay / 3600);
    time.minute = static_cast<int>(secondOfDay / 60 % 60);
    time.second = static_cast<int>(secondOfDay % 60);
    time.utcOffsetMinutes = utcOffsetMinutes;
    return time;
}

} // namespace plumwick
