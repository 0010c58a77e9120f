#include "content/Schedule.h"

#include "common/TextUtil.h"
#include "content/ContentText.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace plumwick {

namespace {

constexpr int kMinutesPerDay = 24 * 60;

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\x3000' || c == u'\xFEFF';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char16_t FoldCase(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameText(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return FoldCase(x) == FoldCase(y);
           });
}

bool IsCommentStart(char16_t c) {
    return c == u';' || c == u'#';
}

std::string Quote(std::u16string_view text) {
    std::string quoted(1, '"');
    quoted += Utf16ToUtf8(text);
    quoted += '"';
    return quoted;
}

std::vector<std::u16string_view> SplitList(std::u16string_view text) {
    std::vector<std::u16string_view> items;
    while (true) {
        std::size_t comma = text.find(u',');
        items.push_back(Trim(text.substr(0, comma)));
        if (comma == std::u16string_view::npos) {
            return items;
        }
        text.remove_prefix(comma + 1);
    }
}

// Exactly `count` digits (count 0: one or two).
std::optional<int> ParseDigits(std::u16string_view text, std::size_t count) {
    if (text.empty() || (count != 0 && text.size() != count) || (count == 0 && text.size() > 2)) {
        return std::nullopt;
    }
    int value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - u'0');
    }
    return value;
}

constexpr std::array<std::u16string_view, 7> kDayNames = {u"monday", u"tuesday",  u"wednesday", u"thursday",
                                                          u"friday", u"saturday", u"sunday"};
constexpr std::array<std::u16string_view, 7> kDayShort = {u"Mon", u"Tue", u"Wed", u"Thu",
                                                          u"Fri", u"Sat", u"Sun"};

// A day's full English name or its first three letters, without case.
std::optional<int> ParseDay(std::u16string_view text) {
    for (int d = 0; d < 7; ++d) {
        std::u16string_view full = kDayNames[d];
        if (SameText(text, full) || SameText(text, full.substr(0, 3))) {
            return d;
        }
    }
    return std::nullopt;
}

std::optional<unsigned> ParseDays(std::u16string_view value, std::string& error) {
    unsigned mask = 0;
    for (std::u16string_view item : SplitList(value)) {
        std::size_t dash = item.find(u'-');
        std::optional<int> from = ParseDay(Trim(item.substr(0, dash)));
        std::optional<int> to =
            dash == std::u16string_view::npos ? from : ParseDay(Trim(item.substr(dash + 1)));
        if (!from || !to) {
            error = "cannot read the days " + Quote(item) +
                    " (expected day names such as Mon, Tue, or a range "
                    "such as Mon-Fri)";
            return std::nullopt;
        }
        // A range may wrap past Sunday: Fri-Mon is Friday to Monday.
        for (int d = *from;; d = (d + 1) % 7) {
            mask |= 1u << d;
            if (d == *to) {
                break;
            }
        }
    }
    return mask;
}

// "H:MM" or "HH:MM"; 24:00 only where allowed.
std::optional<int> ParseClock(std::u16string_view text, bool allowEndOfDay) {
    std::size_t colon = text.find(u':');
    if (colon == std::u16string_view::npos) {
        return std::nullopt;
    }
    std::optional<int> hour = ParseDigits(text.substr(0, colon), 0);
    std::optional<int> minute = ParseDigits(text.substr(colon + 1), 2);
    if (!hour || !minute || *minute > 59) {
        return std::nullopt;
    }
    if (*hour == 24 && *minute == 0 && allowEndOfDay) {
        return kMinutesPerDay;
    }
    if (*hour > 23) {
        return std::nullopt;
    }
    return *hour * 60 + *minute;
}

std::optional<std::vector<TimeWindow>> ParseTimes(std::u16string_view value, std::string& error) {
    std::vector<TimeWindow> windows;
    for (std::u16string_view item : SplitList(value)) {
        std::size_t dash = item.find(u'-');
        std::optional<int> start = ParseClock(Trim(item.substr(0, dash)), false);
        std::optional<int> end =
            dash == std::u16string_view::npos ? std::nullopt : ParseClock(Trim(item.substr(dash + 1)), true);
        if (!start || !end) {
            error =
                "cannot read the time window " + Quote(item) + " (expected HH:MM-HH:MM, such as 06:30-10:30)";
            return std::nullopt;
        }
        if (*start == *end) {
            error = "the time window " + Quote(item) +
                    " starts where it ends (leave times out, or write 00:00-24:00, for the whole day)";
            return std::nullopt;
        }
        windows.push_back({*start, *end});
    }
    return windows;
}

std::optional<CivilDate> ParseDate(std::u16string_view value, std::string& error) {
    std::optional<int> year = value.size() == 10 && value[4] == u'-' && value[7] == u'-'
                                  ? ParseDigits(value.substr(0, 4), 4)
                                  : std::nullopt;
    std::optional<int> month = year ? ParseDigits(value.substr(5, 2), 2) : std::nullopt;
    std::optional<int> day = month ? ParseDigits(value.substr(8, 2), 2) : std::nullopt;
    if (!day) {
        error = "cannot read the date " + Quote(value) + " (expected YYYY-MM-DD, such as 2026-12-24)";
        return std::nullopt;
    }
    CivilDate date{*year, *month, *day};
    if (!IsValidDate(date)) {
        error = "there is no date " + Quote(value);
        return std::nullopt;
    }
    return date;
}

// A header's name ends at the first ']' followed by nothing but blanks, or by blanks and a comment, so
// names may hold ']', ';' and '#' themselves ("[menu [new]; v2.txt]").
std::optional<std::u16string_view> HeaderName(std::u16string_view line) {
    for (std::size_t at = line.find(u']'); at != std::u16string_view::npos; at = line.find(u']', at + 1)) {
        std::u16string_view after = line.substr(at + 1);
        std::u16string_view rest = Trim(after);
        if (rest.empty() || (IsCommentStart(rest.front()) && IsBlank(after.front()))) {
            return line.substr(1, at - 1);
        }
    }
    return std::nullopt;
}

std::u16string_view StripComment(std::u16string_view value) {
    std::size_t at = value.find_first_of(u";#");
    return Trim(value.substr(0, at));
}

bool Covers(std::u16string_view target, std::u16string_view path) {
    if (target.empty()) {
        return true;
    }
    if (path.size() < target.size() || !SameText(path.substr(0, target.size()), target)) {
        return false;
    }
    return path.size() == target.size() || path[target.size()] == u'\\';
}

// Two digits at least, as times and dates are written.
std::u16string TwoDigits(int value) {
    std::u16string text = Utf8ToUtf16(std::to_string(value));
    if (text.size() < 2) {
        text.insert(text.begin(), u'0');
    }
    return text;
}

std::u16string FormatClock(int minutes) {
    return TwoDigits(minutes / 60) + u":" + TwoDigits(minutes % 60);
}

std::u16string FormatDate(const CivilDate& date) {
    return Utf8ToUtf16(std::to_string(date.year)) + u"-" + TwoDigits(date.month) + u"-" + TwoDigits(date.day);
}

std::u16string DescribeDays(unsigned days) {
    if (days == kEveryDay) {
        return u"";
    }
    // Runs of consecutive days as ranges, in week order.
    std::u16string text;
    for (int d = 0; d < 7;) {
        if (!(days & (1u << d))) {
            ++d;
            continue;
        }
        int end = d;
        while (end + 1 < 7 && (days & (1u << (end + 1)))) {
            ++end;
        }
        if (!text.empty()) {
            text += u",";
        }
        text += kDayShort[d];
        if (end > d) {
            text += (end == d + 1 ? u"," : u"-");
            text += kDayShort[end];
        }
        d = end + 1;
    }
    return text;
}

} // namespace

std::optional<std::u16string> NormaliseScheduleTarget(std::u16string_view path) {
    std::u16string out;
    std::u16string_view rest = path;
    if (rest.find(u':') != std::u16string_view::npos) {
        return std::nullopt; // a drive, or a stream: no name below the folder holds one
    }
    while (!rest.empty()) {
        std::size_t cut = rest.find_first_of(u"\\/");
        std::u16string_view part = Trim(rest.substr(0, cut));
        rest = cut == std::u16string_view::npos ? std::u16string_view{} : rest.substr(cut + 1);
        if (part.empty() || part == u".") {
            continue;
        }
        if (part == u"..") {
            return std::nullopt;
        }
        if (!out.empty()) {
            out.push_back(u'\\');
        }
        out += part;
    }
    return out;
}

Schedule ParseSchedule(std::u16string_view text) {
    Schedule schedule;
    ScheduleRule* rule = nullptr;
    std::vector<std::u16string> keysSeen;
    int dateLine = 0; // the section's last from or until line

    auto fail = [&](int line, std::string message) {
        schedule.errors.push_back({line, std::move(message)});
        if (rule) {
            rule->broken = true;
        }
    };
    auto closeSection = [&]() {
        if (rule && dateLine != 0 && rule->first && rule->last && *rule->last < *rule->first) {
            fail(dateLine, "until " + Utf16ToUtf8(FormatDate(*rule->last)) + " comes before from " +
                               Utf16ToUtf8(FormatDate(*rule->first)));
        }
        rule = nullptr;
        keysSeen.clear();
        dateLine = 0;
    };

    // Lines end in CR LF, LF or CR, as the content files' do.
    std::u16string_view rest(text);
    int lineNo = 0;
    while (!rest.empty()) {
        std::size_t cut = rest.find_first_of(u"\r\n");
        std::u16string_view raw = rest.substr(0, cut);
        if (cut == std::u16string_view::npos) {
            rest = {};
        } else {
            bool crlf = rest[cut] == u'\r' && cut + 1 < rest.size() && rest[cut + 1] == u'\n';
            rest.remove_prefix(cut + (crlf ? 2 : 1));
        }
        ++lineNo;
        std::u16string_view line = Trim(raw);
        if (line.empty() || IsCommentStart(line.front())) {
            continue;
        }

        if (line.front() == u'[') {
            closeSection();
            std::optional<std::u16string_view> name = HeaderName(line);
            std::u16string_view named = name ? Trim(*name) : Trim(line.substr(1));
            std::optional<std::u16string> target =
                named == u"*" ? std::optional<std::u16string>(u"") : NormaliseScheduleTarget(named);
            if (target && target->empty() && named != u"*") {
                target.reset();
            }
            // A header that can be made out but is not well formed still names its file, which then stays
            // off the screen.
            if (target) {
                auto same = std::find_if(schedule.rules.begin(), schedule.rules.end(),
                                         [&](const ScheduleRule& r) { return SameText(r.target, *target); });
                if (same != schedule.rules.end()) {
                    rule = &*same;
                    fail(lineNo, "[" + Utf16ToUtf8(named) + "] has a section already at line " +
                                     std::to_string(same->line));
                    continue;
                }
                schedule.rules.push_back({});
                rule = &schedule.rules.back();
                rule->target = *target;
                rule->line = lineNo;
            }
            if (!name) {
                fail(lineNo, "the section header " + Quote(line) + " has no closing ]");
            } else if (!target) {
                fail(lineNo,
                     "the section " + Quote(line) +
                         " names no file or folder below the content folder (use [*] for every file)");
            }
            continue;
        }

        std::size_t eq = line.find(u'=');
        if (eq == std::u16string_view::npos) {
            fail(lineNo,
                 "cannot read " + Quote(line) + " (expected [file or folder], key = value, or a comment)");
            continue;
        }
        std::u16string_view key = Trim(line.substr(0, eq));
        std::u16string_view value = StripComment(line.substr(eq + 1));
        if (!rule) {
            fail(lineNo, Quote(line) + " stands before the first [section]");
            continue;
        }
        if (std::any_of(keysSeen.begin(), keysSeen.end(),
                        [&](const std::u16string& k) { return SameText(k, key); })) {
            fail(lineNo, Utf16ToUtf8(key) + " is given twice in [" + Utf16ToUtf8(rule->target) + "]");
            continue;
        }
        keysSeen.emplace_back(key);
        if (value.empty()) {
            fail(lineNo, Utf16ToUtf8(key) + " has no value");
            continue;
        }
        std::string error;
        if (SameText(key, u"days")) {
            if (std::optional<unsigned> days = ParseDays(value, error)) {
                rule->days = *days;
            }
        } else if (SameText(key, u"times")) {
            if (std::optional<std::vector<TimeWindow>> windows = ParseTimes(value, error)) {
                rule->windows = std::move(*windows);
            }
        } else if (SameText(key, u"from")) {
            rule->first = ParseDate(value, error);
            dateLine = lineNo;
        } else if (SameText(key, u"until")) {
            rule->last = ParseDate(value, error);
            dateLine = lineNo;
        } else {
            error = "unknown key " + Quote(key) + " (expected days, times, from or until)";
        }
        if (!error.empty()) {
            fail(lineNo, std::move(error));
        }
    }
    closeSection();
    std::stable_sort(schedule.errors.begin(), schedule.errors.end(),
                     [](const ScheduleError& a, const ScheduleError& b) { return a.line < b.line; });
    return schedule;
}

Schedule ParseScheduleFile(std::string_view bytes, const AnsiCodePage& codePage) {
    return ParseSchedule(DecodeContentBytes(bytes, codePage));
}

std::string FormatScheduleError(const ScheduleError& error) {
    return "line " + std::to_string(error.line) + ": " + error.message;
}

const ScheduleRule* FindScheduleRule(const Schedule& schedule, std::u16string_view relativePath) {
    std::optional<std::u16string> path = NormaliseScheduleTarget(relativePath);
    if (!path) {
        return nullptr;
    }
    const ScheduleRule* best = nullptr;
    for (const ScheduleRule& rule : schedule.rules) {
        if (Covers(rule.target, *path) && (!best || rule.target.size() > best->target.size())) {
            best = &rule;
        }
    }
    return best;
}

bool RuleOpenAt(const ScheduleRule& rule, const LocalDateTime& now) {
    if (rule.broken) {
        return false;
    }
    // Whether a window may start on the given day.
    auto dayAllowed = [&](const CivilDate& day) {
        return (rule.days & (1u << Weekday(day))) && (!rule.first || !(day < *rule.first)) &&
               (!rule.last || !(*rule.last < day));
    };
    const int minute = now.hour * 60 + now.minute;
    const bool today = dayAllowed(now.date);
    if (rule.windows.empty()) {
        return today;
    }
    const CivilDate yesterday = CivilFromDays(DaysFromCivil(now.date) - 1);
    const bool fromYesterday = dayAllowed(yesterday);
    for (const TimeWindow& window : rule.windows) {
        if (window.endMinute > window.startMinute) {
            if (today && minute >= window.startMinute && minute < window.endMinute) {
                return true;
            }
        } else {
            // Past midnight: the evening part today, the morning part of a window that began yesterday.
            if (today && minute >= window.startMinute) {
                return true;
            }
            if (fromYesterday && minute < window.endMinute) {
                return true;
            }
        }
    }
    return false;
}

bool FileInWindow(const Schedule& schedule, std::u16string_view relativePath, const LocalDateTime& now) {
    const ScheduleRule* rule = FindScheduleRule(schedule, relativePath);
    return !rule || RuleOpenAt(*rule, now);
}

std::u16string DescribeScheduleRule(const ScheduleRule& rule) {
    if (rule.broken) {
        return u"not shown (schedule.ini line " + Utf8ToUtf16(std::to_string(rule.line)) + u")";
    }
    std::u16string text = DescribeDays(rule.days);
    for (std::size_t i = 0; i < rule.windows.size(); ++i) {
        text += i == 0 ? (text.empty() ? u"" : u" ") : u",";
        text += FormatClock(rule.windows[i].startMinute) + u"-" + FormatClock(rule.windows[i].endMinute);
    }
    auto add = [&](std::u16string part) { text += (text.empty() ? u"" : u", ") + part; };
    if (rule.first) {
        add(u"from " + FormatDate(*rule.first));
    }
    if (rule.last) {
        add(u"until " + FormatDate(*rule.last));
    }
    return text.empty() ? u"always" : text;
}

} // namespace plumwick
