#pragma once
// Number conversions with the rules the stored files and the command protocol were written for:
// blanks around a number are allowed, halves round to even, out-of-range values are rejected.
#include <cstdint>
#include <optional>
#include <string_view>

namespace plumwick {

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> -0).
double RoundHalfEven(double value);

// The whole text as a decimal number: optional blanks, optional sign, digits with an optional decimal
// point, an optional exponent, optional blanks. Anything else (also an empty text) gives nothing.
std::optional<double> ParseNumber(std::u16string_view text);
std::optional<double> ParseNumber(std::string_view text);

// ParseNumber, rounded half to even and range-checked.
std::optional<std::int16_t> ParseInt16(std::u16string_view text);
std::optional<std::int32_t> ParseInt32(std::u16string_view text);

// The number the text begins with (after leading blanks), 0 when it begins with none.
double LeadingNumber(std::u16string_view text);

} // namespace plumwick
