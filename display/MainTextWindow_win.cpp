#include "display/MainTextWindow_win.h"

#include "common/TextUtil.h"

#include "display/DisplayPlace_win.h"

namespace plumwick {

MainTextWindow::~MainTextWindow() = default;

bool MainTextWindow::Create(std::optional<int> rememberedTopPx) {
    if (!CreateTextWindow(L"PlumwickMainText", L"FrmShow", kDesignHeightTwips)) {
        return false;
    }
    // Where a drag left it last time, if anywhere; the panel and the toolbar place themselves against it.
    RECT placed{};
    GetWindowRect(Handle(), &placed);
    int topPx = win::StartingMainTopPx(placed.top, look_.FontSize(), rememberedTopPx, Scale());
    if (topPx != placed.top) {
        SetWindowPos(Handle(), nullptr, placed.left, topPx, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!CheckRendererStarted()) {
        return false;
    }
    win::MakeTopmost(Handle());
    return true;
}

void MainTextWindow::DrawText(const std::u16string& text) {
    if (text.empty()) {
        return;
    }
    currentText_ = text;
    if (!Handle()) {
        return;
    }
    LineStyle style;
    style.fontName = look_.FontName();
    style.fontSize = look_.FontSize();
    style.passes = MainWindowPasses(look_.MainColor1(), look_.MainColor2());
    style.layoutWidth = LayoutWidthPixels(PixelsToTwips(ClientWidthPx())); // its monitor's width
    renderer_.Draw(Handle(), text, Scaled(style), ClientWidthPx(), ClientHeightPx());
}

void MainTextWindow::RefreshText() {
    DrawText(currentText_);
}

void MainTextWindow::OnDpiChanged(const RECT&) {
    PlaceOnTaskbar();
    group_.PlaceAgain(Scale().Dpi());
    RefreshText();
}

void MainTextWindow::LookChanged(unsigned aspects) {
    if (aspects & (kLookFont | kLookMainColors)) {
        RefreshText();
    }
}

void MainTextWindow::OnDoubleClick() {
    if (!OpenClipboard(Handle())) {
        return;
    }
    EmptyClipboard();
    if (std::optional<std::u16string> message = group_.CurrentMessage()) {
        // Other programs get well-formed text: a lone surrogate (a content file's or a sender's) is U+FFFD.
        const std::optional<std::u16string> line = WellFormedUtf16(*message);
        std::size_t bytes = (line->size() + 1) * sizeof(char16_t);
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* target = GlobalLock(memory)) {
                memcpy(target, line->c_str(), bytes);
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
