#include "command/DisplayStatus.h"

#include <charconv>
#include <cmath>

namespace plumwick {

namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::u16string_view FirstCharacters(std::u16string_view text, std::size_t limit) {
    std::size_t units = 0;
    for (std::size_t characters = 0; characters < limit && units < text.size(); ++characters) {
        bool pair =
            IsHighSurrogate(text[units]) && units + 1 < text.size() && IsLowSurrogate(text[units + 1]);
        units += pair ? 2 : 1;
    }
    return text.substr(0, units);
}

std::string Number(float value) {
    if (!std::isfinite(value)) {
        return "null"; // JSON has no spelling for these
    }
    char buffer[32];
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

const char* Bool(bool value) {
    return value ? "true" : "false";
}

std::string Time(const std::string& when) {
    if (when.empty()) {
        return "null";
    }
    return JsonString(std::u16string(when.begin(), when.end()));
}

} // namespace

std::string JsonString(std::u16string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        // A surrogate goes out only as half of its pair: strict parsers refuse a lone one, so it becomes
        // U+FFFD, as a conversion to UTF-8 makes it.
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            for (char16_t half : {unit, text[++i]}) {
                out += "\\u";
                for (int shift = 12; shift >= 0; shift -= 4) {
                    out += kHex[(half >> shift) & 0xF];
                }
            }
            continue;
        }
        if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            unit = u'\uFFFD';
        }
        switch (unit) {
        case u'"':
            out += "\\\"";
            break;
        case u'\\':
            out += "\\\\";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        default:
            if (unit >= 0x20 && unit < 0x7F) {
                out += static_cast<char>(unit);
            } else {
                out += "\\u";
                for (int shift = 12; shift >= 0; shift -= 4) {
                    out += kHex[(unit >> shift) & 0xF];
                }
            }
        }
    }
    out += '"';
    return out;
}

std::string StatusJson(const DisplayStatus& status) {
    std::u16string version;
    for (char c : status.version) {
        version += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    std::string json = "{\"version\":" + JsonString(version);
    json += ",\"pid\":" + std::to_string(status.processId);
    json += ",\"main\":" + JsonString(FirstCharacters(status.mainLine, kStatusLineLimit));
    json += ",\"karaoke\":" + JsonString(FirstCharacters(status.karaokeLine, kStatusLineLimit));
    json += std::string(",\"locked\":") + Bool(status.locked);
    json += std::string(",\"rotating\":") + Bool(status.rotating);
    json += std::string(",\"held\":") + Bool(status.held);
    json += ",\"interval\":" + std::to_string(status.intervalSeconds);
    json += ",\"scheme\":" + std::to_string(status.scheme);
    json += ",\"fontName\":" + JsonString(FirstCharacters(status.fontName, kStatusLineLimit));
    json += ",\"fontSize\":" + Number(status.fontSize);
    json += std::string(",\"folderReachable\":") + Bool(status.folderReachable);
    json += ",\"folderAwaySince\":" + Time(status.folderAwaySince);
    json += ",\"lastRebuild\":" + Time(status.lastRebuild);
    json += "}";
    return json;
}

} // namespace plumwick
