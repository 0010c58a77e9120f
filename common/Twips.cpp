#include "common/Twips.h"

#include "common/Numeric.h"

namespace plumwick {

namespace {

// The twips a window really lies at after being moved to `twips`.
int Snapped(float twips, const DpiScale& scale) {
    return scale.PixelsToTwips(scale.TwipsToPixels(twips));
}

void MoveTo(TwipsRect& rect, float left, float top, const DpiScale& scale) {
    rect.left = Snapped(left, scale);
    rect.top = Snapped(top, scale);
}

float PanelOffset(const DisplayWindows& w, float fontSize) {
    return PanelAboveMainTwips(w.back.height, fontSize);
}

// The toolbar is centred on the screen with its vertical middle on the panel's top edge.
void MoveToolbar(DisplayWindows& w) {
    MoveTo(w.set, static_cast<float>(w.screenWidthTwips) / 2.0f - static_cast<float>(w.set.width) / 2.0f,
           static_cast<float>(w.back.top) - static_cast<float>(w.set.height) / 2.0f, w.scale);
}

// The companions of a text window that has just moved to `lead`.
void FollowTextWindow(DisplayWindows& w, const TwipsRect& lead, TwipsRect& other, float fontSize) {
    other.left = lead.left;
    other.top = lead.top;
    MoveTo(w.back, 0.0f, static_cast<float>(lead.top) - PanelOffset(w, fontSize), w.scale);
    MoveToolbar(w);
}

// The pointer's way in the windows' device pixels, in design twips.
float ToTwips(float pixels, const DpiScale& scale) {
    return pixels * static_cast<float>(kTwipsPerPixel) / static_cast<float>(scale.Factor());
}

} // namespace

float PanelAboveMainTwips(int panelHeightTwips, float fontSize) {
    return (static_cast<float>(panelHeightTwips) - fontSize * kTwipsPerPixel) / 3.0f;
}

int MainWindowTopTwips(int screenHeightTwips, int windowHeightTwips, int taskbarTwips) {
    float top = static_cast<float>(screenHeightTwips) - static_cast<float>(windowHeightTwips) -
                static_cast<float>(taskbarTwips);
    return static_cast<int>(RoundHalfEven(top));
}

DisplayWindows DragFromMain(DisplayWindows w, float dx, float dy, float fontSize) {
    MoveTo(w.show, static_cast<float>(w.show.left) + ToTwips(dx, w.scale),
           static_cast<float>(w.show.top) + ToTwips(dy, w.scale), w.scale);
    FollowTextWindow(w, w.show, w.krc, fontSize);
    return w;
}

DisplayWindows DragFromKaraoke(DisplayWindows w, float dx, float dy, float fontSize) {
    MoveTo(w.krc, static_cast<float>(w.krc.left) + ToTwips(dx, w.scale),
           static_cast<float>(w.krc.top) + ToTwips(dy, w.scale), w.scale);
    FollowTextWindow(w, w.krc, w.show, fontSize);
    return w;
}

DisplayWindows DragFromPanel(DisplayWindows w, float dy, float fontSize) {
    MoveTo(w.back, 0.0f, static_cast<float>(w.back.top) + ToTwips(dy, w.scale), w.scale);
    MoveTo(w.show, static_cast<float>(w.show.left), static_cast<float>(w.back.top) + PanelOffset(w, fontSize),
           w.scale);
    MoveToolbar(w);
    AlignKaraokeOverMain(w);
    return w;
}

void AlignKaraokeOverMain(DisplayWindows& w) {
    w.krc.left = w.show.left;
    w.krc.top = w.show.top;
}

} // namespace plumwick
