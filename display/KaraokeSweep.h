#pragma once
// The karaoke sweep: the highlight's right edge starts at the margin left of the centred line and moves
// right by textWidth / duration / 50 twips per 10 ms of running timer, so that duration x 0.5 s after
// arming it reaches the line's right end. The edge follows the time the timer has run, not the number of
// ticks that arrived: a timer that fires late or coarsely (about every 15.6 ms on a stock system) keeps
// the line in time, and fractions of a pixel are carried, so slow lines move too. Widths are in twips at
// a fixed 15 twips per pixel.
//
// What a tick presents is decided here as well: only the columns whose pixels changed, nothing when
// nothing visible changed, and at most once per refresh of the display.
#include "common/PixelRect.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace plumwick {

inline constexpr int kSweepTicksPerDurationUnit = 50;
inline constexpr int kSweepTimerMs = 10;
// One unit of duration: 50 ticks of 10 ms.
inline constexpr double kSweepSecondsPerDurationUnit = kSweepTicksPerDurationUnit * kSweepTimerMs / 1000.0;

// The left margin of a line textWidthTwips wide centred on the screen; a line wider than the screen shows
// whole from the start. Never wider than the screen, never negative.
int InitialSweepWidthTwips(int screenWidthTwips, int textWidthTwips);

// The duration argument of a karaoke command: numeric text rounded half to even into 32 bits; nothing
// when it is not a number or does not fit.
std::optional<std::int32_t> ParseDuration(std::u16string_view text);

// A tick with this duration hides the window and stops the sweep instead of moving the edge.
constexpr bool SweepStopsAt(std::int32_t duration) {
    return duration == 0;
}

// The line being swept, as armed.
struct SweepLine {
    int startTwips = 0; // the edge when armed
    int textWidthTwips = 0;
    std::int32_t duration = 0;
};

// The edge after the timer has run `elapsedSeconds` since arming: where the per-tick increments would
// have put it after elapsed / 10 ms ticks, fractions carried, kept within 0 and the screen's width (a
// negative duration or width moves it left). A duration of 0 leaves it at the start.
double SweepEdgeTwips(const SweepLine& line, double elapsedSeconds, int screenWidthTwips);
// The same in whole pixels, as a window that wide holds it (halves to even).
int SweepEdgePixels(const SweepLine& line, double elapsedSeconds, int screenWidthTwips);

// The edge moves no more however long the timer runs on: it has reached the end it moves towards (the
// screen's width, or 0 for a line swept leftwards), or the line does not move at all. A duration of 0 is
// never at rest: its next tick hides the window.
bool SweepAtRest(const SweepLine& line, double elapsedSeconds, int screenWidthTwips);

// How long the sweep timer has been enabled since the line was armed: stopping it pauses the count,
// starting it resumes; starting a running timer again changes nothing. Times are seconds on any
// steady clock.
class SweepTimeline {
  public:
    void Arm(double now);
    void Start(double now);
    void Stop(double now);
    bool Running() const { return running_; }
    double Elapsed(double now) const;

  private:
    double before_ = 0; // run time up to the last start
    double since_ = 0;  // when the timer was last started
    bool running_ = false;
};

// The display's refresh period for a reported rate in hertz; 0 and 1 mean the hardware's default, which
// is taken as 60 Hz, as is a rate no display has.
double RefreshPeriodSeconds(int reportedHz);

// Presents at most once per refresh of the display: time is cut into refresh periods, and a present is
// allowed only in a later period than the last one.
class PresentPacer {
  public:
    explicit PresentPacer(double periodSeconds) : period_(periodSeconds > 0 ? periodSeconds : 1.0 / 60) {}
    bool MayPresent(double now) const;
    void Presented(double now);
    void Reset() { presented_ = false; }

  private:
    double period_;
    double lastSlot_ = 0;
    bool presented_ = false;
};

PixelRect Intersect(const PixelRect& a, const PixelRect& b);
// The smallest rectangle holding both (an empty one adds nothing).
PixelRect Bounding(const PixelRect& a, const PixelRect& b);

// The part of an image with ink in `ink` that a window shows left of `edge`.
PixelRect VisibleInk(const PixelRect& ink, int edge);

// What a same-size present must hand over when the window moves from showing the left `shownEdge`
// columns of an image to its left `newEdge` columns: the ink between the two edges.
PixelRect EdgeMoveDirty(const PixelRect& ink, int shownEdge, int newEdge);
// ... and when the image changes as well (a new line or look): all that either shows.
PixelRect ImageChangeDirty(const PixelRect& shownInk, int shownEdge, const PixelRect& newInk, int newEdge);

} // namespace plumwick
