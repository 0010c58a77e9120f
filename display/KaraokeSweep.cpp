#include "display/KaraokeSweep.h"

#include "common/Numeric.h"
#include "common/Twips.h"

#include <algorithm>
#include <cmath>

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

double SweepEdgeTwips(const SweepLine& line, double elapsedSeconds, int screenWidthTwips) {
    double screen = static_cast<double>(std::max(screenWidthTwips, 0));
    double edge = line.startTwips;
    if (!SweepStopsAt(line.duration) && elapsedSeconds > 0) {
        // textWidth / duration / 50 per 10 ms tick, written so that the sweep of `duration` units ends
        // exactly at duration x 0.5 s.
        edge += static_cast<double>(line.textWidthTwips) * elapsedSeconds /
                (static_cast<double>(line.duration) * kSweepSecondsPerDurationUnit);
    }
    return std::clamp(edge, 0.0, screen);
}

int SweepEdgePixels(const SweepLine& line, double elapsedSeconds, int screenWidthTwips) {
    return static_cast<int>(
        RoundHalfEven(SweepEdgeTwips(line, elapsedSeconds, screenWidthTwips) / kTwipsPerPixel));
}

bool SweepAtRest(const SweepLine& line, double elapsedSeconds, int screenWidthTwips) {
    if (SweepStopsAt(line.duration)) {
        return false;
    }
    double direction = static_cast<double>(line.textWidthTwips) * static_cast<double>(line.duration);
    if (direction == 0) {
        return true;
    }
    double edge = SweepEdgeTwips(line, elapsedSeconds, screenWidthTwips);
    return direction > 0 ? edge >= static_cast<double>(std::max(screenWidthTwips, 0)) : edge <= 0;
}

void SweepTimeline::Arm(double now) {
    before_ = 0;
    since_ = now;
}

void SweepTimeline::Start(double now) {
    if (!running_) {
        running_ = true;
        since_ = now;
    }
}

void SweepTimeline::Stop(double now) {
    if (running_) {
        before_ = Elapsed(now);
        running_ = false;
    }
}

double SweepTimeline::Elapsed(double now) const {
    // A clock read before the start (or a clock that went back) adds nothing rather than running back.
    return before_ + (running_ ? std::max(0.0, now - since_) : 0.0);
}

double RefreshPeriodSeconds(int reportedHz) {
    if (reportedHz < 20 || reportedHz > 1000) {
        return 1.0 / 60;
    }
    return 1.0 / reportedHz;
}

bool PresentPacer::MayPresent(double now) const {
    double slot = std::floor(now / period_);
    return !presented_ || slot != lastSlot_; // a clock that went back is let through as well
}

void PresentPacer::Presented(double now) {
    lastSlot_ = std::floor(now / period_);
    presented_ = true;
}

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return r.Empty() ? PixelRect{} : r;
}

PixelRect Bounding(const PixelRect& a, const PixelRect& b) {
    if (a.Empty()) {
        return b.Empty() ? PixelRect{} : b;
    }
    if (b.Empty()) {
        return a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

PixelRect VisibleInk(const PixelRect& ink, int edge) {
    return Intersect(ink, {ink.left, ink.top, std::min(ink.right, edge), ink.bottom});
}

PixelRect EdgeMoveDirty(const PixelRect& ink, int shownEdge, int newEdge) {
    int from = std::min(shownEdge, newEdge);
    int to = std::max(shownEdge, newEdge);
    return Intersect(ink, {from, ink.top, to, ink.bottom});
}

PixelRect ImageChangeDirty(const PixelRect& shownInk, int shownEdge, const PixelRect& newInk, int newEdge) {
    return Bounding(VisibleInk(shownInk, shownEdge), VisibleInk(newInk, newEdge));
}

} // namespace plumwick
