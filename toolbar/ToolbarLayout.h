#pragma once
// The toolbar window's fixed geometry: window and strip sizes, the controls on the strip with their
// tooltips, and where the window is placed.
#include "toolbar/ButtonPictures.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace plumwick {

inline constexpr int kToolbarTwipsPerPixel = 15;
inline constexpr int kToolbarWindowWidthPx = 392;
inline constexpr int kToolbarWindowHeightPx = 36;
inline constexpr int kToolbarWindowWidthTwips = kToolbarWindowWidthPx * kToolbarTwipsPerPixel;   // 5880
inline constexpr int kToolbarWindowHeightTwips = kToolbarWindowHeightPx * kToolbarTwipsPerPixel; // 540
inline constexpr int kStripWidthPx = 389;
inline constexpr int kStripHeightPx = 30;
// Magenta, the window's background and its transparency key (COLORREF, 0x00BBGGRR).
inline constexpr std::uint32_t kToolbarColorKey = 0xFF00FF;

enum class ControlKind { Button, HintIcon, Separator };

struct ControlLayout {
    std::string_view name;
    ControlKind kind;
    int x; // strip pixels, top-left corner
    int y;
    int width; // size with the control's normal (for CmdLrc: first) picture
    int height;
    std::u16string_view tooltip; // empty: no tooltip
    std::optional<ToolbarButton> button;
};

// All visible controls on the strip, left to right.
std::span<const ControlLayout> ToolbarControls();
const ControlLayout& LayoutOf(ToolbarButton button);

// Over the hint icon or a separator: these swallow the pointer's events, so the strip sees no move
// (no refresh of the button pictures) while the pointer is on them.
bool IsOverDecoration(int x, int y);

struct ToolbarPlacement {
    float leftTwips;
    float topTwips;
};

// Centred on the screen, its vertical middle on the skin panel's top edge.
ToolbarPlacement PlaceToolbar(float screenWidthTwips, float panelTopTwips,
                              float widthTwips = kToolbarWindowWidthTwips,
                              float heightTwips = kToolbarWindowHeightTwips);

} // namespace plumwick
