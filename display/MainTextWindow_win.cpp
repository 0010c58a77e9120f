#include "display/MainTextWindow_win.h"

#include "app/App_win.h"
#include "common/Twips.h"
#include "display/DisplayPlaceStore_win.h"
#include "display/KaraokeWindow_win.h"

#include <cmath>

namespace plumwick {

MainTextWindow::~MainTextWindow() = default;

bool MainTextWindow::Load() {
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int topTwips =
        MainWindowTopTwips(win::ScreenHeightTwips(), kDesignHeightTwips, app_.TaskbarHeightTwips());
    // Where a drag left it last time, if anywhere; the panel and the toolbar place themselves against it.
    int topPx = win::StartingMainTopPx(SnapTwipsToPixels(topTwips), app_.State().fontSize);
    if (!CreateTextWindow(L"PlumwickMainText", L"FrmShow", 0, topPx, screenWidth,
                          kDesignHeightTwips / kTwipsPerPixel)) {
        return false;
    }
    if (!CheckRendererStarted()) {
        return false;
    }
    app_.Karaoke().ShowOwnedBy(Handle());
    win::MakeTopmost(Handle());
    app_.ShowAbout();
    return true;
}

void MainTextWindow::DrawText(const std::u16string& text) {
    if (text.empty()) {
        return;
    }
    DisplayState& state = app_.State();
    state.currentText = text;
    if (!Handle()) {
        return;
    }
    LineStyle style;
    style.fontName = state.fontName;
    style.fontSize = state.fontSize;
    style.passes = MainWindowPasses(state.mainColor1, state.mainColor2);
    style.layoutWidth = LayoutWidthPixels(win::ScreenWidthTwips());
    renderer_.Draw(Handle(), text, style, ClientWidthPx(), ClientHeightPx());
}

void MainTextWindow::RefreshText() {
    DrawText(app_.State().currentText);
}

void MainTextWindow::OnDoubleClick() {
    const DisplayState& state = app_.State();
    if (!OpenClipboard(Handle())) {
        return;
    }
    EmptyClipboard();
    double index = std::floor(state.infoIndex);
    if (index >= 0 && index < static_cast<double>(state.infoLines.size())) {
        const std::u16string& line = state.infoLines[static_cast<std::size_t>(index)];
        std::size_t bytes = (line.size() + 1) * sizeof(char16_t);
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* target = GlobalLock(memory)) {
                memcpy(target, line.c_str(), bytes);
                GlobalUnlock(memory);
                if (!SetClipboardData(CF_UNICODETEXT, memory)) {
                    GlobalFree(memory);
                }
            } else {
                GlobalFree(memory);
            }
        }
    }
    CloseClipboard();
}

} // namespace plumwick
