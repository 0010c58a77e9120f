#pragma once
// Which picture each of the toolbar's eleven buttons shows, and the hit test that follows from it:
// an image button takes the size of its picture from a fixed top-left corner.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace plumwick {

enum class ToolbarButton {
    Delay1,
    Delay2,
    CmdBlue,
    CmdGreen,
    CmdRed,
    CmdWhite,
    CmdYellow,
    CmdSet,
    CmdLrc,
    CmdLock,
    CmdEnd
};
inline constexpr std::size_t kToolbarButtonCount = 11;

// Initial is CmdLrc's own first picture (67 x 23), shown until the first skin refresh.
enum class Picture { Initial, Normal, Hover, Pressed };

// Which set of pictures a button shows, from the state it stands for: the pause button shows a closed
// padlock while the rotation is paused (or not started) and an open one while it runs; the disc of the
// scheme in use shows its chosen picture. Sizes do not depend on it.
enum class PictureLook { Plain, Chosen, Running };

struct PixelSize {
    int width;
    int height;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// Size of the button's picture; Initial asked of a button other than CmdLrc gives its Normal size.
PixelSize PictureSize(ToolbarButton button, Picture picture);

// There is no mouse-up: a pressed button stays pressed until the pointer moves again. Every mouse button
// presses alike; the window forwards any button's down event here.
class ButtonPictures {
  public:
    ButtonPictures();

    Picture Get(ToolbarButton button) const { return pictures_[Slot(button)]; }
    void MouseMoveOver(ToolbarButton button) { pictures_[Slot(button)] = Picture::Hover; }
    void MouseDownOn(ToolbarButton button) { pictures_[Slot(button)] = Picture::Pressed; }
    // The pointer moved over the bare strip: refreshSkin, all eleven back to Normal.
    void MouseMoveOverStrip();

    // The states the pictures show; each returns whether a picture changes.
    bool SetRotationRunning(bool running);
    bool SetChosenScheme(std::int16_t scheme); // 1..5; anything else marks no disc
    PictureLook LookOf(ToolbarButton button) const;

  private:
    static std::size_t Slot(ToolbarButton button) { return static_cast<std::size_t>(button); }
    std::array<Picture, kToolbarButtonCount> pictures_;
    bool rotationRunning_ = false;
    std::int16_t chosenScheme_ = 0;
};

// The disc that chooses scheme 1..5, nothing for other numbers.
std::optional<ToolbarButton> SchemeButton(std::int16_t scheme);

// The button under (x, y), in strip pixels, with every button at its current picture's size.
std::optional<ToolbarButton> ButtonAt(int x, int y, const ButtonPictures& pictures);

// True where the toolbar window is magenta and so lets the pointer through (window pixels):
// the 3 px column on the right, the 6 px band at the bottom, the strip's rounded top corners, and
// everything outside the window.
bool IsSeeThrough(int x, int y);

} // namespace plumwick
