#include "rotation/Rotation.h"

#include <chrono>
#include <cmath>

namespace plumwick {

std::optional<std::size_t> PickLine(const std::vector<std::u16string>& lines, double r) {
    std::size_t count = 0;
    for (const auto& line : lines) {
        if (!line.empty()) {
            ++count;
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    // Out-of-range r (NaN included) is clamped rather than trusted, so the pick is always a real line.
    std::size_t k = 0;
    if (r > 0.0) {
        double scaled = std::floor(r * static_cast<double>(count));
        k = scaled >= static_cast<double>(count - 1) ? count - 1 : static_cast<std::size_t>(scaled);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].empty() && k-- == 0) {
            return i;
        }
    }
    return std::nullopt; // not reached: k < count
}

RandomSource::RandomSource()
    : RandomSource(
          static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count())) {}

RandomSource::RandomSource(std::uint64_t seed) : engine_(seed) {}

double RandomSource::Next() {
    // The top 53 bits scaled by 2^-53 are exactly representable, so the result is never 1.0
    // (std::uniform_real_distribution may round up to its upper bound).
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

} // namespace plumwick
