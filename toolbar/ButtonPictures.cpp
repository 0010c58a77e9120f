#include "toolbar/ButtonPictures.h"

#include "toolbar/ToolbarLayout.h"

namespace plumwick {

PixelSize PictureSize(ToolbarButton button, Picture picture) {
    switch (button) {
    case ToolbarButton::Delay1:
    case ToolbarButton::Delay2:
        return {12, 11};
    case ToolbarButton::CmdBlue:
    case ToolbarButton::CmdGreen:
    case ToolbarButton::CmdRed:
    case ToolbarButton::CmdWhite:
    case ToolbarButton::CmdYellow:
        // The hover disc sits inside a ring two pixels wider.
        return picture == Picture::Hover ? PixelSize{16, 16} : PixelSize{14, 14};
    case ToolbarButton::CmdSet:
        return picture == Picture::Pressed ? PixelSize{41, 21} : PixelSize{41, 22};
    case ToolbarButton::CmdLrc:
        return picture == Picture::Initial ? PixelSize{67, 23} : PixelSize{59, 21};
    case ToolbarButton::CmdLock:
        return {12, 14};
    case ToolbarButton::CmdEnd:
        return {11, 11};
    }
    return {0, 0};
}

ButtonPictures::ButtonPictures() {
    pictures_.fill(Picture::Normal);
    pictures_[Slot(ToolbarButton::CmdLrc)] = Picture::Initial;
}

void ButtonPictures::MouseMoveOverStrip() {
    pictures_.fill(Picture::Normal);
}

bool ButtonPictures::SetRotationRunning(bool running) {
    bool changed = running != rotationRunning_;
    rotationRunning_ = running;
    return changed;
}

bool ButtonPictures::SetChosenScheme(std::int16_t scheme) {
    std::int16_t chosen = SchemeButton(scheme) ? scheme : std::int16_t{0};
    bool changed = chosen != chosenScheme_;
    chosenScheme_ = chosen;
    return changed;
}

PictureLook ButtonPictures::LookOf(ToolbarButton button) const {
    if (button == ToolbarButton::CmdLock) {
        return rotationRunning_ ? PictureLook::Running : PictureLook::Plain;
    }
    return SchemeButton(chosenScheme_) == button ? PictureLook::Chosen : PictureLook::Plain;
}

std::optional<ToolbarButton> SchemeButton(std::int16_t scheme) {
    switch (scheme) {
    case 1:
        return ToolbarButton::CmdBlue;
    case 2:
        return ToolbarButton::CmdGreen;
    case 3:
        return ToolbarButton::CmdRed;
    case 4:
        return ToolbarButton::CmdWhite;
    case 5:
        return ToolbarButton::CmdYellow;
    default:
        return std::nullopt;
    }
}

std::optional<ToolbarButton> ButtonAt(int x, int y, const ButtonPictures& pictures) {
    for (const ControlLayout& control : ToolbarControls()) {
        if (!control.button) {
            continue;
        }
        PixelSize size = PictureSize(*control.button, pictures.Get(*control.button));
        if (x >= control.x && x < control.x + size.width && y >= control.y && y < control.y + size.height) {
            return control.button;
        }
    }
    return std::nullopt;
}

bool IsSeeThrough(int x, int y) {
    if (x < 0 || y < 0 || x >= kToolbarWindowWidthPx || y >= kToolbarWindowHeightPx) {
        return true;
    }
    if (x >= kStripWidthPx || y >= kStripHeightPx) {
        return true;
    }
    const int right = kStripWidthPx - 1;
    if (y == 0) {
        return x <= 1 || x >= right - 1;
    }
    if (y == 1) {
        return x == 0 || x == right;
    }
    return false;
}

} // namespace plumwick
