#pragma once
// The karaoke window: kept over the main text window, it shows the part of a line sung so far in the scheme's
// highlight colours; the highlight's edge moves right with the time the sweep timer has run.
#include "display/KaraokeSweep.h"
#include "display/SweepPainter_win.h"
#include "display/TextWindow_win.h"

#include <cstdint>

namespace plumwick {

class KaraokeWindow : public TextWindow {
  public:
    KaraokeWindow(const Look& look, DisplayGroup& group, LayeredTextRenderer::Mode mode)
        : TextWindow(Role::Karaoke, look, group, mode) {}
    ~KaraokeWindow() override;

    // The hidden window across the screen's width, on the taskbar, topmost, four blanks drawn.
    bool Create();
    // Starts the sweep of a line; the same line twice in a row, or an empty duration, is ignored.
    void DrawKRC(const std::u16string& text, const std::u16string& duration, std::int16_t textWidth);
    // Draws text in the highlight colours across the screen; the highlight's edge decides how much shows.
    void DrawText(const std::u16string& text);
    void RefreshText() { DrawText(lastKrcText_); }
    // KaraokeText, the line every sweep tick draws ("CKT" sets one blank).
    void SetKaraokeText(const std::u16string& text);
    void ClearSurface();
    const std::u16string& KaraokeText() const { return karaokeText_; }
    // The line the window shows: DrawText's until the next sweep tick draws KaraokeText over it.
    const std::u16string& ShownText() const { return showsKaraokeText_ ? karaokeText_ : shownText_; }
    void StartTimer();
    void StopTimer();

    static constexpr int kDesignHeightTwips = 1665; // 111 px

  private:
    enum Timer : UINT_PTR { kSweepTimer = 1 };
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void LookChanged(unsigned aspects) override;
    void OnDpiChanged(const RECT& suggested) override;
    // The screen's width as last read, in twips at the window's DPI, and the sweep's edge in its pixels.
    int ScreenWidthTwips() const;
    int EdgePixels(double elapsedSeconds) const;
    void OnSweepTick();
    // With the edge at rest and all of it shown, every further tick would present nothing: the system
    // timer is let go (the sweep timer still counts as running), and anything that changes what a tick
    // would draw (a draw, a new KaraokeText, a clear, a hide or show, a new screen) takes it up again.
    void RestTimerIfIdle(double now);
    void WakeTimer();
    // The highlight colours are looked up each time the line is drawn.
    LineStyle Style() const;
    static double Now(); // seconds on a steady clock

    SweepPainter sweep_{renderer_, RefreshPeriodSeconds(win::ScreenRefreshHz())};
    // The line a tick draws, and its version: a tick knows by the number that the line is the same, without
    // copying or comparing it (a sender's line may be a megabyte long).
    void ReplaceKaraokeText(const std::u16string& text);
    std::u16string karaokeText_;
    std::uint64_t karaokeVersion_ = 1;
    // What the window shows now, drawn again when the look changes: KaraokeText, or a line drawn on its own.
    std::u16string shownText_;
    bool showsKaraokeText_ = false;
    std::u16string lastKrcText_;
    // The line being swept (its duration is krcDuration) and how long the timer has run since it was armed.
    SweepLine line_;
    SweepTimeline timeline_;
    // The highlight's right edge in pixels: how far a window that wide would show the line. The window
    // itself keeps the screen's width (but in the straightforward mode).
    int edge_ = 0;
    bool timerResting_ = false;
    int screenWidthPx_ = 0; // read at creation, by commands and on a display change
};

} // namespace plumwick
