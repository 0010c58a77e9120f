#include "store/SettingsFile.h"

#include "common/Numeric.h"
#include "common/TextUtil.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace plumwick {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

// Blank before the number, or the minus sign in its place; one blank after.
std::string SignedField(std::string number) {
    if (!number.empty() && number.front() == '-') {
        return number + " ";
    }
    return " " + number + " ";
}

// Splits off up to `count` lines; a line ends at CR LF, LF or CR, and the last one may have no ending.
std::vector<std::string_view> SplitLines(std::string_view bytes, std::size_t count) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < bytes.size() && lines.size() < count) {
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + ((bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

// Files written where the decimal separator is a comma hold "10,5"; take that as 10.5.
std::optional<double> ParseSize(std::u16string_view text) {
    if (auto value = ParseNumber(text)) {
        return value;
    }
    std::u16string dotted(text);
    std::size_t comma = dotted.find(u',');
    if (comma == std::u16string::npos || dotted.find(u',', comma + 1) != std::u16string::npos ||
        dotted.find(u'.') != std::u16string::npos) {
        return std::nullopt;
    }
    dotted[comma] = u'.';
    return ParseNumber(std::u16string_view(dotted));
}

void AddProblem(std::u16string& problems, std::u16string_view problem) {
    if (!problems.empty()) {
        problems += u"; ";
    }
    problems += problem;
}

} // namespace

bool IsUsableFontSize(double size) {
    return size >= kMinFontSize && size <= kMaxFontSize;
}

Settings DefaultSettings() {
    return Settings{std::u16string(kDefaultFontName), kDefaultFontSize, kDefaultColorScheme};
}

std::int16_t EffectiveSavedScheme(std::int16_t scheme) {
    return scheme == 0 ? std::int16_t{1} : scheme;
}

std::string FormatFontSize(float size) {
    if (size == 0.0f) {
        return "0"; // also for -0, which would otherwise come out as "-0"
    }
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, size, std::chars_format::general, 7);
    return std::string(buffer, result.ptr);
}

std::string FormatSettings(const Settings& settings, const AnsiCodePage& codePage) {
    std::string name;
    bool utf8 = true;
    if (auto ansi = codePage.FromUtf16(settings.fontName)) {
        // Code-page bytes that happen to begin like a byte-order mark would be misread as UTF-8.
        if (!ansi->starts_with(kUtf8Bom)) {
            name = std::move(*ansi);
            utf8 = false;
        }
    }
    std::string out;
    if (utf8) {
        out += kUtf8Bom;
        name = Utf16ToUtf8(settings.fontName);
    }
    out += name;
    out += kLineEnd;
    out += SignedField(FormatFontSize(settings.fontSize));
    out += kLineEnd;
    out += SignedField(std::to_string(EffectiveSavedScheme(settings.colorScheme)));
    out += kLineEnd;
    return out;
}

SettingsReadResult ParseSettings(std::string_view bytes, const AnsiCodePage& codePage) {
    bool utf8 = bytes.starts_with(kUtf8Bom);
    if (utf8) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    auto decode = [&](std::string_view line) { return utf8 ? Utf8ToUtf16(line) : codePage.ToUtf16(line); };

    SettingsReadResult result{DefaultSettings(), true, {}};
    std::vector<std::string_view> lines = SplitLines(bytes, 3);

    if (lines.empty()) {
        result.wellFormed = false;
        result.problem = u"the file is empty";
        return result;
    }
    result.settings.fontName = decode(lines[0]);

    if (lines.size() < 2) {
        AddProblem(result.problem, u"line 2 is missing");
    } else if (auto size = ParseSize(decode(lines[1])); !size) {
        AddProblem(result.problem, u"line 2 is not a number");
    } else if (!IsUsableFontSize(*size)) {
        AddProblem(result.problem, u"line 2 is not a usable font size");
    } else {
        result.settings.fontSize = static_cast<float>(*size);
    }

    if (lines.size() < 3) {
        AddProblem(result.problem, u"line 3 is missing");
    } else if (auto scheme = ParseInt16(decode(lines[2]))) {
        result.settings.colorScheme = *scheme;
    } else {
        AddProblem(result.problem, u"line 3 is not a 16-bit integer");
    }

    result.wellFormed = result.problem.empty();
    return result;
}

SettingsReadResult MissingSettingsFile() {
    return SettingsReadResult{DefaultSettings(), false, u"file not found"};
}

} // namespace plumwick
