#pragma once
// The rotation's pick of the next message line and the random numbers behind it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace plumwick {

// Picks uniformly among the entries 0..size-1 for which eligible(i) holds: r (uniform in [0, 1)) selects
// the k-th of them with k = floor(r * count), clamped to count - 1; an out-of-range r (NaN included) is
// clamped rather than trusted. Nothing when no entry is eligible.
template <typename Eligible>
std::optional<std::size_t> PickEligible(std::size_t size, double r, Eligible eligible) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) {
        count += eligible(i) ? 1 : 0;
    }
    if (count == 0) {
        return std::nullopt;
    }
    std::size_t k = 0;
    if (r > 0.0) {
        double scaled = std::floor(r * static_cast<double>(count));
        k = scaled >= static_cast<double>(count - 1) ? count - 1 : static_cast<std::size_t>(scaled);
    }
    for (std::size_t i = 0; i < size; ++i) {
        if (eligible(i) && k-- == 0) {
            return i;
        }
    }
    return std::nullopt; // not reached: k < count
}

// Picks uniformly among the non-empty lines: r (uniform in [0, 1)) selects the k-th non-empty line with
// k = floor(r * count), clamped to count - 1. Returns the line's index in `lines`, or nothing when no line
// is non-empty; the tick then draws nothing and records nothing.
// Only the zero-length line counts as empty (the usual one is the piece after a file's final line
// break). A line of blanks is kept: the operator typed it, and it shows a blank display for one interval.
std::optional<std::size_t> PickLine(const std::vector<std::u16string>& lines, double r);

// Uniform numbers in [0, 1), seeded once from the clock.
// Re-seeding from the clock on every tick would hand out the same seed, and so the same pick, to every
// tick within one clock step, and would tie the picks to the tick's phase; one generator seeded once
// per run and advanced on every tick gives independent picks for the whole day.
class RandomSource {
  public:
    RandomSource();                            // seeded from the clock
    explicit RandomSource(std::uint64_t seed); // reproducible sequence, for tests
    double Next();

  private:
    std::mt19937_64 engine_;
};

} // namespace plumwick
