#include "display/KaraokeWindow_win.h"

#include "common/Twips.h"
#include "display/KaraokeSweep.h"

#include <chrono>

namespace plumwick {

KaraokeWindow::~KaraokeWindow() = default;

bool KaraokeWindow::Create() {
    if (!CreateTextWindow(L"PlumwickKaraoke", L"FrmKRC", kDesignHeightTwips)) {
        return false;
    }
    if (!CheckRendererStarted()) {
        return false;
    }
    screenWidthPx_ = ClientWidthPx(); // as wide as its monitor
    edge_ = screenWidthPx_;           // until a line is armed the whole screen's width shows
    DrawText(u"    ");
    win::MakeTopmost(Handle());
    return true;
}

LineStyle KaraokeWindow::Style() const {
    LineStyle style;
    style.fontName = look_.FontName();
    style.fontSize = look_.FontSize();
    style.passes = {KaraokePass(look_.ColorScheme())};
    style.layoutWidth = LayoutWidthPixels(ScreenWidthTwips());
    return Scaled(style);
}

void KaraokeWindow::DrawText(const std::u16string& text) {
    if (text.empty() || !Handle()) {
        return;
    }
    shownText_ = text;
    showsKaraokeText_ = false;
    screenWidthPx_ = ClientWidthPx(); // as wide as its monitor
    sweep_.Draw(Handle(), text, Style(), edge_, screenWidthPx_, ClientHeightPx(), Now());
    WakeTimer(); // the next tick draws KaraokeText over this
}

void KaraokeWindow::SetKaraokeText(const std::u16string& text) {
    ReplaceKaraokeText(text);
    WakeTimer();
}

void KaraokeWindow::ReplaceKaraokeText(const std::u16string& text) {
    if (showsKaraokeText_) {
        // The window shows the old line until the next tick: it is what a redraw before then draws.
        shownText_ = std::move(karaokeText_);
        showsKaraokeText_ = false;
    }
    karaokeText_ = text;
    ++karaokeVersion_;
}

void KaraokeWindow::ClearSurface() {
    TextWindow::ClearSurface();
    WakeTimer();
}

int KaraokeWindow::ScreenWidthTwips() const {
    return PixelsToTwips(screenWidthPx_);
}

int KaraokeWindow::EdgePixels(double elapsedSeconds) const {
    // The sweep runs in twips; the window holds the pixels of its DPI.
    return TwipsToPixels(SweepEdgeTwips(line_, elapsedSeconds, ScreenWidthTwips()));
}

void KaraokeWindow::OnDpiChanged(const RECT&) {
    PlaceOnTaskbar();
    group_.PlaceAgain(Scale().Dpi());
    LookChanged(kLookFont);
    WakeTimer();
}

void KaraokeWindow::LookChanged(unsigned aspects) {
    // At rest a sweep draws nothing more, so the new font or colours would otherwise wait for the next line.
    if ((aspects & (kLookFont | kLookScheme)) && Handle() && !ShownText().empty()) {
        sweep_.Draw(Handle(), ShownText(), Style(), edge_, screenWidthPx_, ClientHeightPx(), Now());
        WakeTimer();
    }
}

void KaraokeWindow::DrawKRC(const std::u16string& text, const std::u16string& duration,
                            std::int16_t textWidth) {
    if (duration.empty() || text == lastKrcText_) {
        return;
    }
    lastKrcText_ = text;
    Hide();
    ReplaceKaraokeText(text);
    // The edge goes back to the line's left end, and the sweep's time starts there.
    screenWidthPx_ = ClientWidthPx(); // as wide as its monitor
    line_.startTwips = InitialSweepWidthTwips(ScreenWidthTwips(), textWidth);
    edge_ = EdgePixels(0);
    timeline_.Arm(Now());
    sweep_.Arm(Handle(), edge_, ClientHeightPx());
    line_.textWidthTwips = textWidth;
    std::optional<std::int32_t> parsed = ParseDuration(duration);
    if (!parsed) {
        return; // not a number: the window stays hidden with the edge at the start, the timer is not armed
    }
    line_.duration = *parsed;
    StartTimer();
}

double KaraokeWindow::Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void KaraokeWindow::StartTimer() {
    timerResting_ = false;
    if (Handle() && SetTimer(Handle(), kSweepTimer, kSweepTimerMs, nullptr)) {
        timeline_.Start(Now());
    }
}

void KaraokeWindow::StopTimer() {
    timerResting_ = false;
    if (Handle()) {
        KillTimer(Handle(), kSweepTimer);
        double now = Now();
        timeline_.Stop(now);
        sweep_.Flush(Handle(), now); // a tick's picture that waited for the next refresh
    }
}

void KaraokeWindow::OnSweepTick() {
    if (!IsVisible()) {
        Show(); // showing a shown window again costs the window system a round of position changes
    }
    if (SweepStopsAt(line_.duration)) {
        Hide();
        StopTimer();
        return;
    }
    double now = Now();
    // The screen's width as last read: asking for it takes Wine a fifth of a millisecond, every 10 ms.
    edge_ = EdgePixels(timeline_.Elapsed(now));
    if (!showsKaraokeText_) {
        showsKaraokeText_ = true;
        shownText_.clear();
    }
    sweep_.Tick(Handle(), karaokeText_, Style(), edge_, screenWidthPx_, ClientHeightPx(), now,
                karaokeVersion_);
    RestTimerIfIdle(now);
}

void KaraokeWindow::RestTimerIfIdle(double now) {
    // The straightforward mode, the benchmark's yardstick, ticks on as a plain timer does.
    if (renderer_.GetMode() != LayeredTextRenderer::Mode::Cached || sweep_.Pending() || !IsVisible() ||
        !SweepAtRest(line_, timeline_.Elapsed(now), ScreenWidthTwips())) {
        return;
    }
    if (KillTimer(Handle(), kSweepTimer)) {
        timerResting_ = true;
    }
}

void KaraokeWindow::WakeTimer() {
    if (!timerResting_) {
        return;
    }
    timerResting_ = false;
    if (Handle() && timeline_.Running()) {
        SetTimer(Handle(), kSweepTimer, kSweepTimerMs, nullptr);
    }
}

LRESULT KaraokeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kSweepTimer) {
        OnSweepTick();
        return 0;
    }
    if (message == WM_NCHITTEST && renderer_.GetMode() == LayeredTextRenderer::Mode::Cached) {
        // Right of the edge the window shows nothing and, as a window only that wide would, lets the
        // pointer through to the main window beneath (where per-pixel hit testing does not already).
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(Handle(), &point);
        if (point.x >= edge_) {
            return HTTRANSPARENT;
        }
    }
    if (message == WM_DISPLAYCHANGE) {
        screenWidthPx_ = ClientWidthPx(); // as wide as its monitor
        WakeTimer();                      // the edge's end moves with the screen's width
    }
    if (message == WM_WINDOWPOSCHANGED) {
        // Shown, hidden or resized, the window may have dropped its image: the next present hands all over.
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE)) {
            screenWidthPx_ = ClientWidthPx(); // laid out again on its monitor
        }
        if ((pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) || !(pos->flags & SWP_NOSIZE)) {
            sweep_.ForgetShown();
            WakeTimer();
        }
    }
    return TextWindow::HandleMessage(message, wParam, lParam);
}

} // namespace plumwick
