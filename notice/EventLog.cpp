#include "notice/EventLog.h"

#include "common/TextUtil.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <system_error>

namespace plumwick {

namespace fs = std::filesystem;

namespace {

// A line repeated this often is counted rather than written each time, so a sender flooding the display
// with refused commands (or a failure in a loop) cannot roll away what came before.
constexpr unsigned long kRepeatsPerCount = 1000;

struct ProcessLog {
    std::mutex mutex;
    std::unique_ptr<RollingLog> log;
    std::function<LogTime()> clock;
    std::string lastKind;
    std::u16string lastText;
    unsigned long repeats = 0; // of the last line, not yet counted in the log
};

ProcessLog& TheLog() {
    static ProcessLog log;
    return log;
}

} // namespace

std::string FormatLogTime(const LogTime& t) {
    int offset = t.utcOffsetMinutes < 0 ? -t.utcOffsetMinutes : t.utcOffsetMinutes;
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d %c%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond, t.utcOffsetMinutes < 0 ? '-' : '+', offset / 60,
                  offset % 60);
    return text;
}

std::string FormatLogLine(const LogTime& time, std::string_view kind, std::u16string_view text) {
    std::u16string flat;
    flat.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            flat += u" / ";
        } else if (c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029) {
            flat += u' ';
        } else {
            flat += c;
        }
    }
    std::string line = FormatLogTime(time);
    line += ' ';
    line += kind;
    line += ": ";
    line += Utf16ToUtf8(flat);
    line += "\r\n";
    return line;
}

fs::path RollingLog::File(int generation) const {
    std::string name = "plumwick.log";
    if (generation > 0) {
        name += '.';
        name += std::to_string(generation);
    }
    return folder_ / name;
}

void RollingLog::Roll() {
    std::error_code ignored;
    fs::remove(File(kLogFilesKept - 1), ignored);
    for (int generation = kLogFilesKept - 2; generation >= 0; --generation) {
        fs::rename(File(generation), File(generation + 1), ignored);
    }
}

bool RollingLog::Append(std::string_view line) {
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error) {
        return false;
    }
    std::uintmax_t size = fs::file_size(File(), error);
    if (!error && size > 0 && size + line.size() > limit_) {
        Roll();
    }
    std::ofstream out(File(), std::ios::binary | std::ios::app);
    if (!out) {
        return false;
    }
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.close();
    return !out.fail();
}

void OpenLog(fs::path folder, std::function<LogTime()> clock) {
    ProcessLog& process = TheLog();
    std::lock_guard lock(process.mutex);
    process.log = folder.empty() ? nullptr : std::make_unique<RollingLog>(std::move(folder));
    process.clock = std::move(clock);
    process.lastKind.clear();
    process.lastText.clear();
    process.repeats = 0;
}

void LogEvent(std::string_view kind, std::u16string_view text) {
    ProcessLog& process = TheLog();
    std::lock_guard lock(process.mutex);
    if (!process.log) {
        return;
    }
    try {
        const LogTime now = process.clock ? process.clock() : LogTime{};
        auto countRepeats = [&] {
            process.log->Append(FormatLogLine(now, process.lastKind,
                                              u"the line before again " +
                                                  Utf8ToUtf16(std::to_string(process.repeats)) +
                                                  (process.repeats == 1 ? u" time" : u" times")));
            process.repeats = 0;
        };
        if (kind == process.lastKind && text == process.lastText) {
            if (++process.repeats == kRepeatsPerCount) {
                countRepeats();
            }
            return;
        }
        if (process.repeats > 0) {
            countRepeats();
        }
        process.lastKind = kind;
        process.lastText = text;
        process.log->Append(FormatLogLine(now, kind, text));
    } catch (...) {
        // The log is for people looking afterwards; nothing the program does depends on it.
    }
}

} // namespace plumwick
