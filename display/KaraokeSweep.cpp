#include "display/KaraokeSweep.h"

#include "common/Numeric.h"
#include "common/Twips.h"

#include <algorithm>

namespace plumwick {

int InitialSweepWidthTwips(int screenWidthTwips, int textWidthTwips) {
    if (textWidthTwips > screenWidthTwips) {
        return std::max(screenWidthTwips, 0);
    }
    double margin = (static_cast<double>(screenWidthTwips) - textWidthTwips) / 2.0;
    // A negative width (the sender may give one) would otherwise leave a margin wider than the screen.
    margin = std::clamp(margin, 0.0, static_cast<double>(std::max(screenWidthTwips, 0)));
    return static_cast<int>(RoundHalfEven(margin));
}

std::optional<std::int32_t> ParseDuration(std::u16string_view text) {
    return ParseInt32(text);
}

int NextSweepWidthPixels(int currentWidthPx, int textWidthTwips, std::int32_t duration, int screenWidthPx) {
    if (SweepStopsAt(duration)) {
        return currentWidthPx;
    }
    double twips = static_cast<double>(currentWidthPx) * kTwipsPerPixel +
                   static_cast<double>(textWidthTwips) / duration / kSweepTicksPerDurationUnit;
    double pixels = RoundHalfEven(twips / kTwipsPerPixel);
    return static_cast<int>(std::clamp(pixels, 0.0, static_cast<double>(std::max(screenWidthPx, 0))));
}

std::vector<int> SweepWidthsPixels(int screenWidthTwips, int textWidthTwips, std::int32_t duration,
                                   std::size_t ticks) {
    std::vector<int> widths;
    if (SweepStopsAt(duration)) {
        return widths;
    }
    widths.reserve(ticks);
    int screenPx = SnapTwipsToPixels(screenWidthTwips);
    int width = SnapTwipsToPixels(InitialSweepWidthTwips(screenWidthTwips, textWidthTwips));
    for (std::size_t i = 0; i < ticks; ++i) {
        width = NextSweepWidthPixels(width, textWidthTwips, duration, screenPx);
        widths.push_back(width);
    }
    return widths;
}

} // namespace plumwick
