#pragma once
// The karaoke sweep on screen: the window shows the line, laid out across the whole screen, left of the
// highlight's edge, and nothing right of it.
//
// With the kept image the window keeps the screen's width for the whole line. Its image is composed in a
// frame of that size from the rendered line, and a tick hands over only the columns between the edge the
// window shows and the new one (where the line has ink): nothing when nothing visible changed, and at most
// once per refresh of the display. The straightforward mode, the benchmark's yardstick, makes the window
// as wide as the edge and renders and presents a bitmap that wide on every tick.
#include "display/KaraokeSweep.h"
#include "display/LayeredTextRenderer_win.h"

#include <cstdint>
#include <string>

namespace plumwick {

class SweepPainter {
  public:
    explicit SweepPainter(LayeredTextRenderer& renderer, double refreshPeriodSeconds = 1.0 / 60)
        : renderer_(renderer), pacer_(refreshPeriodSeconds) {}

    // What the window has been handed so far.
    struct Counts {
        long presents = 0;
        long fullPresents = 0;  // the whole window, a new size or a window that may have dropped its image
        long long pixels = 0;   // handed over in all
        PixelRect lastDirty;    // of the last present
        std::int64_t moves = 0; // ticks whose edge differs from the tick before
    };

    // A new line is armed with its edge at `edge`; the window is hidden. In the straightforward mode the
    // window takes that width at once, as the sweep then sizes it.
    void Arm(HWND window, int edge, int height);

    // Draws `text` (empty: the image drawn last) as the window shows it with the edge at `edge`, a window
    // on a screen `screenWidth` pixels wide and `height` high, and presents it at once. True when the
    // window received something.
    bool Draw(HWND window, const std::u16string& text, const LineStyle& style, int edge, int screenWidth,
              int height, double now);

    // A timer tick: as Draw, but presents nothing when nothing visible changed and at most once per refresh
    // of the display; a tick that comes too soon leaves its picture for the next one (or Flush).
    // textVersion, when not 0, changes whenever the text does: a tick with the version, style and size of
    // the image already rendered neither copies nor compares the text, however long it is.
    bool Tick(HWND window, const std::u16string& text, const LineStyle& style, int edge, int screenWidth,
              int height, double now, std::uint64_t textVersion = 0);

    // Hands over the picture a tick left waiting (the timer stopped before the next tick could).
    bool Flush(HWND window, double now);

    // A tick's picture waits for the next refresh.
    bool Pending() const { return pending_; }
    // The window may have dropped its image (shown, hidden or resized by someone else): the next present
    // hands over all of it.
    void ForgetShown() { shownWindow_ = nullptr; }

    const Counts& GetCounts() const { return counts_; }
    // What the window shows in the kept mode, composed (premultiplied BGRA, top-down).
    const win::LayeredSurface& Frame() const { return frame_; }

  private:
    bool Update(HWND window, const std::u16string& text, const LineStyle& style, int edge, int screenWidth,
                int height, double now, bool paced, std::uint64_t textVersion);
    // The renderer's image is that of this text version, style and size.
    bool Prepared(std::uint64_t textVersion, const LineStyle& style, int screenWidth, int height) const;
    bool Show(HWND window, int edge, double now, bool paced);
    bool ShowStraightforward(HWND window, const std::u16string& text, const LineStyle& style, int edge,
                             int height);
    void Compose(const PixelRect& dirty, int edge);
    // Hands the frame's `dirty` part to the window, or all of it; counts what went.
    bool Present(HWND window, bool whole, PixelRect dirty);

    LayeredTextRenderer& renderer_;
    PresentPacer pacer_;
    Counts counts_;
    int lastEdge_ = -1;

    win::LayeredSurface frame_;      // the window's image: the rendered line left of frameEdge_
    std::uint64_t frameVersion_ = 0; // the rendered image the frame was composed from
    PixelRect frameInk_;             // that image's ink
    int frameEdge_ = 0;
    bool frameComposed_ = false;
    HWND shownWindow_ = nullptr; // the window showing the frame as composed

    std::uint64_t inkVersion_ = 0; // the rendered image whose ink imageInk_ is
    PixelRect imageInk_;

    // What the renderer's image was last prepared from (version 0: a text without a version).
    std::uint64_t preparedText_ = 0;
    std::uint64_t preparedImage_ = 0;
    LineStyle preparedStyle_;
    int preparedWidth_ = 0;
    int preparedHeight_ = 0;

    bool pending_ = false; // a tick's picture not yet handed over
    HWND pendingWindow_ = nullptr;
    int pendingEdge_ = 0;
};

} // namespace plumwick
