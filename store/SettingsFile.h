#pragma once
// The display settings file desktoplrc.pst: font name, font size and colour scheme, one per line.
// Bytes in and out only; the command window and the toolbar read and write the file itself.
#include "common/AnsiCodePage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace plumwick {

// A font that renders Chinese and Latin alike.
inline constexpr std::u16string_view kDefaultFontName = u"Microsoft YaHei";
inline constexpr float kDefaultFontSize = 36.0f;
inline constexpr std::int16_t kDefaultColorScheme = 1;
// Font sizes the display takes, from the settings file and from the font dialog. Below 8 the line can
// no longer be read across a counter; above 200 it leaves the screen and hides the toolbar's hover area.
inline constexpr float kMinFontSize = 8.0f;
inline constexpr float kMaxFontSize = 200.0f;

// True for a size in kMinFontSize..kMaxFontSize (NaN is not).
bool IsUsableFontSize(double size);

struct Settings {
    std::u16string fontName;
    float fontSize = kDefaultFontSize;
    std::int16_t colorScheme = kDefaultColorScheme;
};

Settings DefaultSettings();

// The writer's format: the name; " 36 " (a minus sign takes the leading blank); " 2 "; CR LF after each.
// The name goes out in the ANSI code page when it fits; otherwise the whole file is UTF-8 behind a
// byte-order mark, so that any name reads back unchanged. A scheme of 0 (none chosen) is written as 1.
std::string FormatSettings(const Settings& settings, const AnsiCodePage& codePage);

struct SettingsReadResult {
    Settings settings;
    // All three lines present and valid. When false, the caller keeps the file aside and writes a good one.
    bool wellFormed = false;
    // Short English reason when not well formed, e.g. "line 2 is not a number".
    std::u16string problem;
};

// Reads the first three lines (CR LF, LF or CR endings). Whatever is missing or unreadable takes its
// default, a size outside kMinFontSize..kMaxFontSize included; what could be read is kept. A scheme number
// outside 1..5 is passed on as it is.
SettingsReadResult ParseSettings(std::string_view bytes, const AnsiCodePage& codePage);

// The result for a settings file that does not exist: all defaults, not well formed.
SettingsReadResult MissingSettingsFile();

// The scheme SaveSet stores and writes: 0 (none chosen yet) becomes 1.
std::int16_t EffectiveSavedScheme(std::int16_t scheme);

// The font size as line 2 holds it, without the surrounding blanks: "36", "10.5", "-2.5".
std::string FormatFontSize(float size);

} // namespace plumwick
