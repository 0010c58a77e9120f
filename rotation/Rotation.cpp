#include "rotation/Rotation.h"

#include <chrono>

namespace plumwick {

std::optional<std::size_t> PickLine(const std::vector<std::u16string>& lines, double r) {
    return PickEligible(lines.size(), r, [&](std::size_t i) { return !lines[i].empty(); });
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
