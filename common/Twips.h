#pragma once
// Window geometry in twips. Positions and sizes are designed in twips at 15 to a 96-DPI pixel; DpiScale is
// the one conversion into a window's device pixels and back. The helpers here do the twips arithmetic
// once for every window that places itself or drags its companions.
#include "common/DpiScale.h"

#include <cstdint>

namespace plumwick {

// The design's own formulas (layout width, sweep edge, skin layout) divide by this.
inline constexpr int kTwipsPerPixel = 15;

// Top of a text window that sits on the taskbar: screen height - window height - taskbar, in single
// precision.
int MainWindowTopTwips(int screenHeightTwips, int windowHeightTwips, int taskbarTwips);

// How far the skin panel's top lies above the main window's top: a third of what the panel is taller
// than the text's em.
float PanelAboveMainTwips(int panelHeightTwips, float fontSize);

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The four windows that move together when one of them is dragged.
struct DisplayWindows {
    TwipsRect show; // main text window
    TwipsRect krc;  // karaoke window
    TwipsRect back; // skin background panel
    TwipsRect set;  // toolbar
    int screenWidthTwips = 0;
    DpiScale scale; // the windows' DPI: the pixel grid their twips snap to
};

// One mouse-move of a drag. dx and dy are the pointer's displacement in the dragged window's pixels; the
// dragged window moves by as many pixels, so it follows the pointer one to one, and its companions are
// placed against its new place: the karaoke window over the main window, the panel its offset above, the
// toolbar centred on the panel's top edge. Positions are snapped to whole pixels, as reading them back
// from the windows gives. Sizes never change.
DisplayWindows DragFromMain(DisplayWindows windows, float dx, float dy, float fontSize);
DisplayWindows DragFromKaraoke(DisplayWindows windows, float dx, float dy, float fontSize);
// The panel moves only vertically.
DisplayWindows DragFromPanel(DisplayWindows windows, float dy, float fontSize);

// The karaoke window over the main window; done by the panel on every mouse-move and by its hover watch.
void AlignKaraokeOverMain(DisplayWindows& windows);

} // namespace plumwick
