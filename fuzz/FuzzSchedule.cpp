// schedule.ini is written by hand at head office and shipped to every shop. The input is read as one;
// every rule it yields is judged at a few wall times, and every error must name a line of the file.
#include "common/TextUtil.h"
#include "content/Schedule.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace plumwick;

int CountLines(std::u16string_view text) {
    int lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))) {
            ++lines;
        }
    }
    return lines + (text.empty() || text.back() == u'\n' || text.back() == u'\r' ? 0 : 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::FuzzCodePage codePage;
    const std::u16string text =
        DecodeTextBytes(std::string_view(reinterpret_cast<const char*>(data), size), codePage);
    const Schedule schedule = ParseSchedule(text);
    const int lines = CountLines(text);

    for (std::size_t i = 0; i < schedule.errors.size(); ++i) {
        const ScheduleError& error = schedule.errors[i];
        FUZZ_CHECK(error.line >= 1 && error.line <= lines && !error.message.empty());
        FUZZ_CHECK(i == 0 || schedule.errors[i - 1].line <= error.line);
        FUZZ_CHECK(IsValidUtf8(FormatScheduleError(error)));
    }
    const LocalDateTime times[] = {{{2026, 12, 7}, 0, 0, 0, 60},
                                   {{2026, 12, 24}, 23, 59, 59, 60},
                                   {{2027, 3, 28}, 2, 30, 0, 120},
                                   {{1, 1, 1}, 12, 0, 0, 0},
                                   {{9999, 12, 31}, 23, 59, 0, 0}};
    for (const ScheduleRule& rule : schedule.rules) {
        FUZZ_CHECK(rule.line >= 1 && rule.line <= lines);
        FUZZ_CHECK(rule.days != 0 && rule.days <= kEveryDay);
        for (const TimeWindow& window : rule.windows) {
            FUZZ_CHECK(window.startMinute >= 0 && window.startMinute < 24 * 60);
            FUZZ_CHECK(window.endMinute >= 0 && window.endMinute <= 24 * 60);
            FUZZ_CHECK(window.startMinute != window.endMinute);
        }
        FUZZ_CHECK(!rule.first || IsValidDate(*rule.first));
        FUZZ_CHECK(!rule.last || IsValidDate(*rule.last));
        // A section is found again by its own target, and a broken one is never open.
        const ScheduleRule* found = FindScheduleRule(schedule, rule.target.empty() ? u"x" : rule.target);
        FUZZ_CHECK(found != nullptr);
        for (const LocalDateTime& now : times) {
            FUZZ_CHECK(!(rule.broken && RuleOpenAt(rule, now)));
        }
        FUZZ_CHECK(!DescribeScheduleRule(rule).empty());
    }
    return 0;
}
