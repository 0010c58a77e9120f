#include "command/StatusBoard.h"

#include "common/Calendar.h"
#include "common/TextUtil.h"

#include <algorithm>
#include <cstdio>

namespace plumwick {

namespace {

std::u16string Ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

// "2026-12-08 20:10" in the reader's local time.
std::u16string LocalMinute(UnixSeconds when, int utcOffsetMinutes) {
    LocalDateTime c = LocalTimeAt(when, utcOffsetMinutes);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", c.date.year, c.date.month, c.date.day,
                  c.hour, c.minute);
    return Ascii(text);
}

// --- JSON reading ----------------------------------------------------------------------------------

class JsonReader {
  public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    std::optional<std::map<std::string, JsonValue>> Object() {
        std::map<std::string, JsonValue> members;
        SkipBlanks();
        if (!Take('{')) {
            return std::nullopt;
        }
        SkipBlanks();
        if (!Take('}')) {
            do {
                SkipBlanks();
                std::optional<std::u16string> name = String();
                SkipBlanks();
                if (!name || !Take(':')) {
                    return std::nullopt;
                }
                std::optional<JsonValue> value = Value(0);
                if (!value) {
                    return std::nullopt;
                }
                members[Utf16ToUtf8(*name)] = std::move(*value);
                SkipBlanks();
            } while (Take(','));
            if (!Take('}')) {
                return std::nullopt;
            }
        }
        SkipBlanks();
        if (at_ != text_.size()) {
            return std::nullopt;
        }
        return members;
    }

  private:
    static constexpr int kDepthLimit = 64;

    bool Take(char c) {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool TakeWord(std::string_view word) {
        if (text_.substr(at_, word.size()) == word) {
            at_ += word.size();
            return true;
        }
        return false;
    }
    void SkipBlanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    std::optional<JsonValue> Value(int depth) {
        SkipBlanks();
        if (at_ >= text_.size() || depth > kDepthLimit) {
            return std::nullopt;
        }
        char c = text_[at_];
        if (c == '"') {
            std::optional<std::u16string> text = String();
            if (!text) {
                return std::nullopt;
            }
            return JsonValue{std::move(*text)};
        }
        if (c == '{' || c == '[') {
            return Nested(depth) ? std::optional<JsonValue>(nullptr) : std::nullopt;
        }
        if (TakeWord("true")) {
            return JsonValue{true};
        }
        if (TakeWord("false")) {
            return JsonValue{false};
        }
        if (TakeWord("null")) {
            return JsonValue{nullptr};
        }
        return NumberValue();
    }

    // An object or array, read over.
    bool Nested(int depth) {
        const char close = text_[at_] == '{' ? '}' : ']';
        const bool object = close == '}';
        ++at_;
        SkipBlanks();
        if (Take(close)) {
            return true;
        }
        do {
            if (object) {
                SkipBlanks();
                if (!String()) {
                    return false;
                }
                SkipBlanks();
                if (!Take(':')) {
                    return false;
                }
            }
            if (!Value(depth + 1)) {
                return false;
            }
            SkipBlanks();
        } while (Take(','));
        return Take(close);
    }

    std::optional<JsonValue> NumberValue() {
        const std::size_t start = at_;
        Take('-');
        auto digits = [this] {
            std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
                ++at_;
            }
            return at_ - from;
        };
        std::size_t whole = digits();
        if (whole == 0 || (whole > 1 && text_[at_ - whole] == '0')) {
            return std::nullopt;
        }
        if (Take('.') && digits() == 0) {
            return std::nullopt;
        }
        if (Take('e') || Take('E')) {
            if (!Take('+')) {
                Take('-');
            }
            if (digits() == 0) {
                return std::nullopt;
            }
        }
        std::string number(text_.substr(start, at_ - start));
        return JsonValue{std::strtod(number.c_str(), nullptr)};
    }

    std::optional<unsigned> Hex4() {
        if (at_ + 4 > text_.size()) {
            return std::nullopt;
        }
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            char c = text_[at_++];
            value <<= 4;
            if (c >= '0' && c <= '9') {
                value |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                value |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                value |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                return std::nullopt;
            }
        }
        return value;
    }

    std::optional<std::u16string> String() {
        if (!Take('"')) {
            return std::nullopt;
        }
        std::u16string out;
        std::size_t runStart = at_;
        auto flushRun = [&] {
            std::string_view run = text_.substr(runStart, at_ - runStart);
            if (!IsValidUtf8(run)) {
                return false;
            }
            out += Utf8ToUtf16(run);
            return true;
        };
        while (at_ < text_.size()) {
            unsigned char c = static_cast<unsigned char>(text_[at_]);
            if (c == '"') {
                if (!flushRun()) {
                    return std::nullopt;
                }
                ++at_;
                return WellFormedUtf16(out);
            }
            if (c < 0x20) {
                return std::nullopt;
            }
            if (c != '\\') {
                ++at_;
                continue;
            }
            if (!flushRun()) {
                return std::nullopt;
            }
            ++at_;
            if (at_ >= text_.size()) {
                return std::nullopt;
            }
            char escape = text_[at_++];
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                out += static_cast<char16_t>(escape);
                break;
            case 'b':
                out += u'\b';
                break;
            case 'f':
                out += u'\f';
                break;
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case 'u': {
                std::optional<unsigned> unit = Hex4();
                if (!unit) {
                    return std::nullopt;
                }
                out += static_cast<char16_t>(*unit); // pairs join up; lone halves are mended at the end
                break;
            }
            default:
                return std::nullopt;
            }
            runStart = at_;
        }
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

// --- The table -------------------------------------------------------------------------------------

char32_t NextCodePoint(std::u16string_view text, std::size_t& i) {
    char32_t c = text[i++];
    if (c >= 0xD800 && c <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
    }
    return c;
}

// Columns a character takes in a console: two for East Asian wide and full-width characters.
int ColumnsOf(char32_t c) {
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
                      (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

int Columns(std::u16string_view text) {
    int columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        columns += ColumnsOf(NextCodePoint(text, i));
    }
    return columns;
}

// The text on one line of the table: control characters as blanks, cut to `limit` columns with "..." .
std::u16string Cell(std::u16string_view text, int limit) {
    std::u16string out;
    int columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t from = i;
        char32_t c = NextCodePoint(text, i);
        int width = ColumnsOf(c);
        if (columns + width > limit - 3 && Columns(text.substr(from)) + columns > limit) {
            out += u"...";
            break;
        }
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029) {
            out += u' ';
        } else {
            out += text.substr(from, i - from);
        }
        columns += width;
    }
    return out;
}

const std::u16string* Text(const std::map<std::string, JsonValue>& object, const std::string& name) {
    auto found = object.find(name);
    return found == object.end() ? nullptr : std::get_if<std::u16string>(&found->second);
}
bool Flag(const std::map<std::string, JsonValue>& object, const std::string& name, bool otherwise) {
    auto found = object.find(name);
    const bool* value = found == object.end() ? nullptr : std::get_if<bool>(&found->second);
    return value ? *value : otherwise;
}

std::u16string StemOf(std::u16string_view fileName) {
    std::size_t dot = fileName.rfind(u'.');
    return std::u16string(fileName.substr(0, dot));
}

} // namespace

std::string UtcText(UnixSeconds when) {
    LocalDateTime c = LocalTimeAt(when, 0);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", c.date.year, c.date.month, c.date.day,
                  c.hour, c.minute, c.second);
    return text;
}

std::optional<UnixSeconds> ParseUtcText(std::string_view text) {
    // Exactly "YYYY-MM-DDTHH:MM:SSZ", as UtcText writes it.
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z') {
        return std::nullopt;
    }
    auto number = [&](std::size_t at, std::size_t length) -> std::optional<unsigned> {
        unsigned value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            if (text[i] < '0' || text[i] > '9') {
                return std::nullopt;
            }
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
        }
        return value;
    };
    auto year = number(0, 4), month = number(5, 2), day = number(8, 2);
    auto hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (!year || !month || !day || !hour || !minute || !second || *month < 1 || *month > 12 || *day < 1 ||
        *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    static constexpr unsigned kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (*year % 4 == 0 && *year % 100 != 0) || *year % 400 == 0;
    if (*day > kDays[*month - 1] || (*month == 2 && *day == 29 && !leap)) {
        return std::nullopt;
    }
    const CivilDate date{static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day)};
    return DaysFromCivil(date) * 86400 + *hour * 3600 + *minute * 60 + *second;
}

std::string BoardJson(const BoardStatus& status) {
    // The status line's object, continued with the board's own fields.
    std::string json = StatusJson(status.display);
    json.pop_back();
    auto time = [](UnixSeconds when) {
        std::string text(1, '"');
        text += UtcText(when);
        text += '"';
        return text;
    };
    json += ",\"computer\":" + JsonString(status.computer);
    json += ",\"user\":" + JsonString(status.user);
    json += ",\"started\":" + time(status.started);
    json += ",\"lastChange\":" + time(status.lastChange);
    json += ",\"lastProblem\":" +
            (status.lastProblem.empty() ? std::string("null") : JsonString(status.lastProblem));
    json += ",\"lastProblemAt\":" +
            (status.lastProblem.empty() ? std::string("null") : time(status.lastProblemAt));
    json += std::string(",\"running\":") + (status.running ? "true" : "false");
    json += "}";
    return json;
}

std::optional<std::u16string> StatusFolderProblem(std::u16string_view configured,
                                                  std::u16string_view expanded) {
    auto refuse = [&](std::u16string_view why) {
        return u"StatusFolder \"" + std::u16string(configured) + u"\" " + std::u16string(why) +
               u"; no status file is written";
    };
    if (std::size_t open = expanded.find(u'%'); open != std::u16string_view::npos) {
        std::size_t close = expanded.find(u'%', open + 1);
        if (close != std::u16string_view::npos && close > open + 1) {
            return refuse(u"names the variable " + std::u16string(expanded.substr(open, close - open + 1)) +
                          u", which is not set on this PC");
        }
    }
    const bool share = expanded.size() > 2 &&
                       (expanded.starts_with(u"\\\\") || expanded.starts_with(u"//")) &&
                       expanded[2] != u'\\' && expanded[2] != u'/';
    const bool drive =
        expanded.size() >= 3 &&
        ((expanded[0] >= u'A' && expanded[0] <= u'Z') || (expanded[0] >= u'a' && expanded[0] <= u'z')) &&
        expanded[1] == u':' && (expanded[2] == u'\\' || expanded[2] == u'/');
    if (!share && !drive) {
        return refuse(u"is no full path (write a drive's folder such as D:\\Board or a share such as "
                      u"\\\\server\\board)");
    }
    if (expanded.find_first_of(u"<>\"|?*") != std::u16string_view::npos) {
        return refuse(u"holds a character no folder name can");
    }
    return std::nullopt;
}

std::u16string BoardFileName(std::u16string_view computer) {
    return std::u16string(computer) + u".json";
}

std::optional<std::map<std::string, JsonValue>> ParseJsonObject(std::string_view text) {
    return JsonReader(text).Object();
}

BoardRow ReadBoardRow(std::u16string_view fileName, std::string_view bytes, UnixSeconds modified,
                      UnixSeconds now, int utcOffsetMinutes) {
    BoardRow row;
    const UnixSeconds age = std::max<UnixSeconds>(0, now - modified);
    row.stale = age > kBoardStaleSeconds;
    std::u16string silent;
    if (row.stale) {
        silent = u"no news for " + Ascii(std::to_string(age / 60)) + u" min; ";
    }
    std::optional<std::map<std::string, JsonValue>> object = ParseJsonObject(bytes);
    const std::u16string* computer = object ? Text(*object, "computer") : nullptr;
    if (!computer) {
        row.computer = Cell(StemOf(fileName), 24);
        row.state = silent + u"not a status file";
        return row;
    }
    row.computer = Cell(*computer, 24);
    if (const std::u16string* user = Text(*object, "user")) {
        row.user = Cell(*user, 20);
    }
    std::u16string state;
    if (!Flag(*object, "running", true)) {
        state = u"ended";
    } else {
        state = Flag(*object, "rotating", false) ? u"rotating" : u"showing";
        if (Flag(*object, "held", false)) {
            state += u", held";
        }
        if (Flag(*object, "locked", false)) {
            state += u", locked";
        }
        if (!Flag(*object, "folderReachable", true)) {
            state += u", content away";
        }
    }
    row.state = silent + (row.stale ? u"was " : u"") + state;
    if (const std::u16string* line = Text(*object, "main")) {
        row.line = Cell(*line, 40);
    }
    if (const std::u16string* change = Text(*object, "lastChange")) {
        if (std::optional<UnixSeconds> when = ParseUtcText(Utf16ToUtf8(*change)); when && *when > 0) {
            row.lastChange = LocalMinute(*when, utcOffsetMinutes);
        }
    }
    if (const std::u16string* problem = Text(*object, "lastProblem")) {
        std::u16string told;
        if (const std::u16string* at = Text(*object, "lastProblemAt")) {
            if (std::optional<UnixSeconds> when = ParseUtcText(Utf16ToUtf8(*at))) {
                told = LocalMinute(*when, utcOffsetMinutes) + u" ";
            }
        }
        row.lastProblem = Cell(told + *problem, 60);
    }
    return row;
}

std::string BoardTable(std::vector<BoardRow> rows) {
    auto folded = [](const std::u16string& text) {
        std::u16string out = text;
        for (char16_t& c : out) {
            if (c >= u'A' && c <= u'Z') {
                c = static_cast<char16_t>(c + 32);
            }
        }
        return out;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const BoardRow& a, const BoardRow& b) {
        return folded(a.computer) < folded(b.computer);
    });
    std::vector<std::vector<std::u16string>> cells;
    cells.push_back({u" ", u"COMPUTER", u"USER", u"STATE", u"LINE", u"LAST CHANGE", u"LAST PROBLEM"});
    std::size_t marked = 0;
    for (const BoardRow& row : rows) {
        marked += row.stale ? 1 : 0;
        cells.push_back({row.stale ? u"!" : u"", row.computer, row.user, row.state, row.line, row.lastChange,
                         row.lastProblem});
    }
    std::vector<int> widths(cells.front().size(), 0);
    for (const auto& line : cells) {
        for (std::size_t column = 0; column < line.size(); ++column) {
            widths[column] = std::max(widths[column], Columns(line[column]));
        }
    }
    std::string table;
    for (const auto& line : cells) {
        std::u16string text;
        for (std::size_t column = 0; column < line.size(); ++column) {
            if (column > 0) {
                text += u"  ";
            }
            text += line[column];
            text.append(static_cast<std::size_t>(widths[column] - Columns(line[column])), u' ');
        }
        while (!text.empty() && text.back() == u' ') {
            text.pop_back();
        }
        table += Utf16ToUtf8(text) + "\n";
    }
    table += std::to_string(rows.size()) + (rows.size() == 1 ? " screen" : " screens");
    if (marked > 0) {
        table += ", " + std::to_string(marked) + " marked ! (no news for more than five minutes)";
    }
    table += "\n";
    return table;
}

std::optional<unsigned> ParseStatusSeconds(std::u16string_view text) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    unsigned seconds = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        seconds = seconds * 10 + (c - u'0');
    }
    if (seconds < 1 || seconds > 3600) {
        return std::nullopt;
    }
    return seconds;
}

unsigned BoardRetrySeconds(unsigned failures) {
    if (failures <= 1) {
        return 5;
    }
    return failures >= 5 ? 60 : 5u << (failures - 1);
}

} // namespace plumwick
