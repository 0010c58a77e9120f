#include "display/KaraokeWindow_win.h"

#include "app/App_win.h"
#include "common/Twips.h"
#include "content/ContentWindow_win.h"
#include "display/KaraokeSweep.h"

namespace plumwick {

KaraokeWindow::~KaraokeWindow() = default;

bool KaraokeWindow::Load() {
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int topTwips = MainWindowTopTwips(win::ScreenHeightTwips(), kDesignHeightTwips, app_.TaskbarHeightTwips());
    if (!CreateTextWindow(L"PlumwickKaraoke", L"FrmKRC", 0, SnapTwipsToPixels(topTwips), screenWidth,
                          kDesignHeightTwips / kTwipsPerPixel)) {
        return false;
    }
    if (!CheckRendererStarted()) {
        return false;
    }
    DrawText(u"    ");
    win::MakeTopmost(Handle());
    app_.Content();
    return true;
}

LineStyle KaraokeWindow::Style() const {
    const DisplayState& state = app_.State();
    LineStyle style;
    style.fontName = state.fontName;
    style.fontSize = state.fontSize;
    style.passes = {KaraokePass(state.colorScheme)};
    style.layoutWidth = LayoutWidthPixels(win::ScreenWidthTwips());
    return style;
}

void KaraokeWindow::DrawText(const std::u16string& text) {
    if (text.empty() || !Handle()) {
        return;
    }
    sweep_.Draw(Handle(), text, Style(), ClientWidthPx(), GetSystemMetrics(SM_CXSCREEN), ClientHeightPx());
}

void KaraokeWindow::DrawKRC(const std::u16string& text, const std::u16string& duration, std::int16_t textWidth) {
    if (duration.empty() || text == lastKrcText_) {
        return;
    }
    lastKrcText_ = text;
    Hide();
    app_.State().karaokeText = text;
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
    sweep_.Tick(Handle(), app_.State().karaokeText, Style(), oldWidth, newWidth, screenWidth, ClientHeightPx());
}

LRESULT KaraokeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kSweepTimer) {
        OnSweepTick();
        return 0;
    }
    return TextWindow::HandleMessage(message, wParam, lParam);
}

} // namespace plumwick
