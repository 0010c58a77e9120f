#pragma once
// The karaoke sweep: the highlight window starts as wide as the margin left of the centred line and
// widens every 10 ms tick, so that after duration x 50 ticks its right edge reaches the line's right end.
// Widths are in twips at a fixed 15 twips per pixel; the window holds whole pixels and its width is read
// back from it on every tick, so fractions of a pixel are not carried from one tick to the next.
#include "common/DpiScale.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace plumwick {

inline constexpr int kSweepTicksPerDurationUnit = 50;

// The left margin of a line textWidthTwips wide centred on the screen; a line wider than the screen shows
// whole from the start. Never wider than the screen, never negative.
int InitialSweepWidthTwips(int screenWidthTwips, int textWidthTwips);

// The duration argument of a karaoke command: numeric text rounded half to even into 32 bits; nothing
// when it is not a number or does not fit.
std::optional<std::int32_t> ParseDuration(std::u16string_view text);

// A tick with this duration hides the window and stops the sweep instead of widening it.
constexpr bool SweepStopsAt(std::int32_t duration) {
    return duration == 0;
}

// The window width in pixels after one tick: the current width plus textWidth / duration / 50 twips, in
// double precision, rounded to the nearest pixel with halves to even (the window keeps whole pixels).
// The width stays within 0 and the screen width, so the timer running on past the line's end does not
// widen the window without bound. A duration of 0 leaves the width as it is. The pixels are those of the
// window's DPI, so the sweep covers the same twips at any scaling.
int NextSweepWidthPixels(int currentWidthPx, int textWidthTwips, std::int32_t duration, int screenWidthPx,
                         const DpiScale& scale = DpiScale());

// A tick that leaves the width as it was would draw the same image again and can skip drawing. (The first
// tick after a new line is armed must still draw: the line has changed even if the width has not.)
constexpr bool SweepTickChangesNothing(int oldWidthPx, int newWidthPx) {
    return oldWidthPx == newWidthPx;
}

// The window width in pixels after each of `ticks` ticks of a sweep of a line textWidthTwips wide
// started on a screen screenWidthTwips wide. Ends early, without an entry, at the tick that stops.
std::vector<int> SweepWidthsPixels(int screenWidthTwips, int textWidthTwips, std::int32_t duration,
                                   std::size_t ticks);

} // namespace plumwick
