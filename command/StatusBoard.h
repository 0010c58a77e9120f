#pragma once
// The status board without a server: each display writes <StatusFolder>\<computer name>.json, one JSON
// object (the status line's fields and who, since when, what last changed and the last problem told),
// and plumwick-send --board reads a folder of them into one table.
#include "command/DisplayStatus.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace plumwick {

// Seconds since 1970-01-01 00:00 UTC.
using UnixSeconds = std::int64_t;

struct BoardStatus {
    DisplayStatus display;
    std::u16string computer;
    std::u16string user;
    UnixSeconds started = 0;
    UnixSeconds lastChange = 0; // the last time the line, the look or the lock changed
    std::u16string lastProblem; // the last notice told; empty: none since the start
    UnixSeconds lastProblemAt = 0;
    bool running = true; // false in the file written as the program ends
};

// "2026-12-08T19:10:31Z"
std::string UtcText(UnixSeconds when);
std::optional<UnixSeconds> ParseUtcText(std::string_view text);

// One line of strict ASCII JSON: every field of the status line, then "computer", "user", "started",
// "lastChange", "lastProblem" (null when none), "lastProblemAt" (null when none) and "running".
std::string BoardJson(const BoardStatus& status);

// Why a StatusFolder setting (environment variables expanded) cannot be used, for a notice; nothing when it
// can. A full path is needed, a drive's folder ("D:\Board") or a share ("\\server\board$"): the display
// runs from wherever it was started, so a relative path would land anywhere.
std::optional<std::u16string> StatusFolderProblem(std::u16string_view configured,
                                                  std::u16string_view expanded);

// The file name of a computer's status file, "<computer>.json".
std::u16string BoardFileName(std::u16string_view computer);

// A JSON value of a flat object. Nested objects and arrays are read over and kept as null, so fields a
// later version adds never make a file unreadable.
using JsonValue = std::variant<std::nullptr_t, bool, double, std::u16string>;

// The members of one JSON object (RFC 8259, whitespace around it allowed); nothing when the text is not
// one. A lone surrogate escape becomes U+FFFD; the last of repeated names wins.
std::optional<std::map<std::string, JsonValue>> ParseJsonObject(std::string_view text);

// One row of the board.
struct BoardRow {
    std::u16string computer;
    std::u16string user;
    std::u16string state;
    std::u16string line;
    std::u16string lastChange;
    std::u16string lastProblem;
    bool stale = false;
};

// A screen is marked when its file has not been written for longer than this: the display (or its PC)
// has stopped, or cannot reach the folder.
inline constexpr UnixSeconds kBoardStaleSeconds = 5 * 60;

// The row for one status file, written at `modified` (UTC) and looked at `now`; times are shown in local
// time, `utcOffsetMinutes` from UTC. A file that is no status file gives a row saying so, named after the
// file.
BoardRow ReadBoardRow(std::u16string_view fileName, std::string_view bytes, UnixSeconds modified,
                      UnixSeconds now, int utcOffsetMinutes);

// The table: a header, one row per screen in the order of the computers' names, columns as wide as
// their widest cell (East Asian characters count two), and a closing line with the count of screens and of
// those marked. Each line ends in "\n".
std::string BoardTable(std::vector<BoardRow> rows);

// A number of seconds between status files other than the minute: a whole number from 1 to 3600.
std::optional<unsigned> ParseStatusSeconds(std::u16string_view text);

// The wait before the next try after `failures` failed writes in a row: 5 s, doubling up to a minute.
unsigned BoardRetrySeconds(unsigned failures);

} // namespace plumwick
