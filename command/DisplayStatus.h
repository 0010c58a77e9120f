#pragma once
// What the display shows and how it is set, as one line of ASCII JSON for monitoring scripts.
#include <cstddef>
#include <string>
#include <string_view>

namespace plumwick {

struct DisplayStatus {
    std::string version;
    unsigned long processId = 0;
    std::u16string mainLine;    // the line the main window shows
    std::u16string karaokeLine; // the line the karaoke sweep redraws
    bool locked = false;        // click-through
    bool rotating = false;      // the rotation is on (also while a hold keeps it off the line)
    bool held = false;          // a hold keeps the rotation from replacing the line
    unsigned intervalSeconds = 0;
    int scheme = 0;
    std::u16string fontName;
    float fontSize = 0;
    // The content folder: whether it answers, since when not ("YYYY-MM-DD HH:MM"), and when the
    // publication was last built from its files (empty: not yet).
    bool folderReachable = true;
    std::string folderAwaySince;
    std::string lastRebuild;
};

class StatusSource {
  public:
    virtual ~StatusSource() = default;
    virtual DisplayStatus Status() = 0;
};

// Longer lines are cut to their first kStatusLineLimit characters (a surrogate pair counts as one and is
// never split), so a megabyte on screen never makes a megabyte reply.
inline constexpr std::size_t kStatusLineLimit = 1000;

// {"version":...,"pid":...,"main":...,"karaoke":...,"locked":...,"rotating":...,"held":...,
//  "interval":...,"scheme":...,"fontName":...,"fontSize":...,"folderReachable":...,"folderAwaySince":...,
//  "lastRebuild":...} on one line, ASCII only; the two times are null when there is none.
std::string StatusJson(const DisplayStatus& status);

// A JSON string literal in ASCII: quotes, backslashes, control characters and every unit above 0x7E
// escaped (non-ASCII as \uXXXX per UTF-16 unit, so lone surrogates pass through as escapes).
std::string JsonString(std::u16string_view text);

} // namespace plumwick
