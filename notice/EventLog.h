#pragma once
// The administrator's log: one UTF-8 line per event (start, stop, every notice, refused commands, failed
// system calls) in a folder of the user's local profile, rolled at 1 MB so that three files at most are
// kept: plumwick.log, plumwick.log.1 and plumwick.log.2. The log never stops the program: a folder that
// cannot be written leaves a gap in it, nothing more.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace plumwick {

// The local wall-clock time of a line with its offset from UTC, so lines of PCs in different zones, and
// on both sides of a clock change, can be put side by side.
struct LogTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int utcOffsetMinutes = 0; // local minus UTC
};

// "2026-12-08 19:10:31.123 +01:00"
std::string FormatLogTime(const LogTime& time);

// One line: the time, the kind, the text and CR LF. One event is one line: line breaks in the text become
// " / " and other control characters blanks; unpaired surrogates become U+FFFD.
std::string FormatLogLine(const LogTime& time, std::string_view kind, std::u16string_view text);

inline constexpr std::uintmax_t kLogFileLimit = std::uintmax_t{1} << 20;
inline constexpr int kLogFilesKept = 3;

class RollingLog {
  public:
    explicit RollingLog(std::filesystem::path folder, std::uintmax_t limit = kLogFileLimit)
        : folder_(std::move(folder)), limit_(limit) {}

    // Appends the line to plumwick.log, first rolling the files (plumwick.log.1 to .2, plumwick.log to .1;
    // the oldest goes) when the line would take plumwick.log past the limit. Each line is written whole
    // and the file closed again, so another start of the program may write beside this one. False when the
    // folder cannot be made or the file not written.
    bool Append(std::string_view line);

    std::filesystem::path File(int generation = 0) const; // 0: plumwick.log, 1: plumwick.log.1, ...

  private:
    void Roll();

    std::filesystem::path folder_;
    std::uintmax_t limit_;
};

// The process's log. Until OpenLog (and in programs that never open it) lines go nowhere. Safe to
// call from any thread; a line takes a local file's append, never a share's. A line that repeats the one
// before is counted instead ("the line before again 12 times", written when another line comes, and after
// every thousand), so a flood cannot roll away what came before it.
// An empty folder closes the log again.
void OpenLog(std::filesystem::path folder, std::function<LogTime()> clock);
void LogEvent(std::string_view kind, std::u16string_view text);

} // namespace plumwick
