#include "display/KaraokeWindow_win.h"

#include "common/Twips.h"
#include "display/ColorSchemes.h"
#include "display/KaraokeSweep.h"

namespace plumwick {

KaraokeWindow::~KaraokeWindow() = default;

bool KaraokeWindow::Create() {
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int topTwips = MainWindowTopTwips(win::ScreenHeightTwips(), kDesignHeightTwips, win::TaskbarHeightTwips());
    if (!CreateTextWindow(L"PlumwickKaraoke", L"FrmKRC", 0, SnapTwipsToPixels(topTwips), screenWidth,
                          kDesignHeightTwips / kTwipsPerPixel)) {
        return false;
    }
    if (!CheckRendererStarted()) {
        return false;
    }
    DrawText(u"    ");
    win::MakeTopmost(Handle());
    return true;
}

LineStyle KaraokeWindow::Style() const {
    LineStyle style;
    style.fontName = look_.FontName();
    style.fontSize = look_.FontSize();
    style.passes = {KaraokePass(look_.ColorScheme())};
    style.layoutWidth = LayoutWidthPixels(win::ScreenWidthTwips());
    return style;
}

void KaraokeWindow::DrawText(const std::u16string& text) {
    if (text.empty() || !Handle()) {
        return;
    }
    shownText_ = text;
    sweep_.Draw(Handle(), text, Style(), ClientWidthPx(), GetSystemMetrics(SM_CXSCREEN), ClientHeightPx());
}

void KaraokeWindow::LookChanged(unsigned aspects) {
    // At rest a sweep draws nothing more, so the new font or colours would otherwise wait for the next line.
    if ((aspects & (kLookFont | kLookScheme)) && Handle() && !shownText_.empty()) {
        sweep_.Draw(Handle(), shownText_, Style(), ClientWidthPx(), GetSystemMetrics(SM_CXSCREEN),
                    ClientHeightPx());
    }
}

void KaraokeWindow::DrawKRC(const std::u16string& text, const std::u16string& duration, std::int16_t textWidth) {
    if (duration.empty() || text == lastKrcText_) {
        return;
    }
    lastKrcText_ = text;
    Hide();
    karaokeText_ = text;
    SetWidthTwips(InitialSweepWidthTwips(win::ScreenWidthTwips(), textWidth));
    krcTextWidth_ = textWidth;
    std::optional<std::int32_t> parsed = ParseDuration(duration);
    if (!parsed) {
        return; // not a number: the window stays hidden and resized, the timer is not armed
    }
    krcDuration_ = *parsed;
    sweep_.Arm();
    StartTimer();
}

void KaraokeWindow::StartTimer() {
    if (Handle() && SetTimer(Handle(), kSweepTimer, 10, nullptr)) {
        timerRunning_ = true;
    }
}

void KaraokeWindow::StopTimer() {
    if (Handle()) {
        KillTimer(Handle(), kSweepTimer);
    }
    timerRunning_ = false;
}

void KaraokeWindow::OnSweepTick() {
    Show();
    if (SweepStopsAt(krcDuration_)) {
        Hide();
        StopTimer();
        return;
    }
    int oldWidth = ClientWidthPx();
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int newWidth = NextSweepWidthPixels(oldWidth, krcTextWidth_, krcDuration_, screenWidth);
    shownText_ = karaokeText_;
    sweep_.Tick(Handle(), karaokeText_, Style(), oldWidth, newWidth, screenWidth, ClientHeightPx());
}

LRESULT KaraokeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kSweepTimer) {
        OnSweepTick();
        return 0;
    }
    return TextWindow::HandleMessage(message, wParam, lParam);
}

} // namespace plumwick
