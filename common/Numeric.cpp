#include "common/Numeric.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace plumwick {

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    double floor = std::floor(value);
    double diff = value - floor;
    if (diff > 0.5) {
        return floor + 1.0;
    }
    if (diff < 0.5) {
        return floor;
    }
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Length of the longest decimal number at the start of text (0 when there is none).
std::size_t ScanNumber(std::u16string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            ++j;
        }
        std::size_t expDigits = 0;
        while (j < text.size() && IsDigit(text[j])) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0) {
            i = j;
        }
    }
    return i;
}

double ToDouble(std::u16string_view number) {
    std::string ascii(number.begin(), number.end()); // only ASCII digits, signs, '.', 'e' reach here
    return std::strtod(ascii.c_str(), nullptr);
}

} // namespace

std::optional<double> ParseNumber(std::u16string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin])) {
        ++begin;
    }
    std::size_t end = text.size();
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    std::u16string_view core = text.substr(begin, end - begin);
    if (core.empty() || core.size() > 400) {
        return std::nullopt;
    }
    std::size_t len = ScanNumber(core);
    if (len == 0 || len != core.size()) {
        return std::nullopt;
    }
    double value = ToDouble(core);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseNumber(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            return std::nullopt; // no digit or blank outside ASCII
        }
        wide.push_back(static_cast<char16_t>(u));
    }
    return ParseNumber(std::u16string_view(wide));
}

namespace {
template <typename Int> std::optional<Int> ParseRounded(std::u16string_view text) {
    auto value = ParseNumber(text);
    if (!value) {
        return std::nullopt;
    }
    double rounded = RoundHalfEven(*value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(rounded);
}
} // namespace

std::optional<std::int16_t> ParseInt16(std::u16string_view text) {
    return ParseRounded<std::int16_t>(text);
}
std::optional<std::int32_t> ParseInt32(std::u16string_view text) {
    return ParseRounded<std::int32_t>(text);
}

double LeadingNumber(std::u16string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin])) {
        ++begin;
    }
    std::u16string_view rest = text.substr(begin, std::min<std::size_t>(text.size() - begin, 400));
    std::size_t len = ScanNumber(rest);
    if (len == 0) {
        return 0.0;
    }
    double value = ToDouble(rest.substr(0, len));
    return std::isfinite(value) ? value : 0.0;
}

} // namespace plumwick
