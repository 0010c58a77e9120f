#include "common/DpiScale.h"

#include "common/Numeric.h"

#include <cmath>
#include <limits>

namespace plumwick {

namespace {

constexpr double kTwipsPerInch = 1440;

// Whole pixels far beyond any screen, so that a wild value never overflows what a window call takes.
int WholePixels(double pixels) {
    constexpr double kLimit = 1e8;
    double rounded = RoundHalfEven(pixels);
    if (!std::isfinite(rounded)) {
        return 0;
    }
    if (rounded > kLimit) {
        return static_cast<int>(kLimit);
    }
    if (rounded < -kLimit) {
        return -static_cast<int>(kLimit);
    }
    return static_cast<int>(rounded);
}

} // namespace

float DpiScale::Scale(float designPixels) const {
    return static_cast<float>(designPixels * Factor());
}

int DpiScale::Pixels(double designPixels) const {
    return WholePixels(designPixels * Factor());
}

int DpiScale::TwipsToPixels(double twips) const {
    return WholePixels(twips * dpi_ / kTwipsPerInch);
}

int DpiScale::PixelsToTwips(int devicePixels) const {
    double twips = RoundHalfEven(static_cast<double>(devicePixels) * kTwipsPerInch / dpi_);
    if (twips > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (twips < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(twips);
}

int DpiScale::ToDesign(int devicePixels) const {
    // By the pixel's centre, as stretching the design picture up picks the source pixel for it.
    return static_cast<int>(std::floor((devicePixels + 0.5) * kBaseDpi / dpi_));
}

std::int16_t StripBelowWorkAreaTwips(int screenHeightPx, int workAreaBottomPx, const DpiScale& scale) {
    double twips =
        RoundHalfEven((static_cast<double>(screenHeightPx) - workAreaBottomPx) * kTwipsPerInch / scale.Dpi());
    if (twips > std::numeric_limits<std::int16_t>::max()) {
        return std::numeric_limits<std::int16_t>::max();
    }
    if (twips < std::numeric_limits<std::int16_t>::min()) {
        return std::numeric_limits<std::int16_t>::min();
    }
    return static_cast<std::int16_t>(twips);
}

} // namespace plumwick
