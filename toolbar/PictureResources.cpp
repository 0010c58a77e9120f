#include "toolbar/PictureResources.h"

#include <array>

namespace plumwick {
namespace {

// Per button, in enum order: first, normal, hover, pressed.
constexpr std::array<std::array<std::string_view, 4>, kToolbarButtonCount> kNames{{
    {"TB_DELAY1NOR", "TB_DELAY1NOR", "TB_DELAY1POI", "TB_DELAY1DOWN"},
    {"TB_DELAY2NOR", "TB_DELAY2NOR", "TB_DELAY2POI", "TB_DELAY2DOWN"},
    {"TB_BLUENOR", "TB_BLUENOR", "TB_BLUEPOI", "TB_BLUEDOWN"},
    {"TB_GREENNOR", "TB_GREENNOR", "TB_GREENPOI", "TB_GREENDOWN"},
    {"TB_REDNOR", "TB_REDNOR", "TB_REDPOI", "TB_REDDOWN"},
    {"TB_WHITENOR", "TB_WHITENOR", "TB_WHITEPOI", "TB_WHITEDOWN"},
    {"TB_YELLOWNOR", "TB_YELLOWNOR", "TB_YELLOWPOI", "TB_YELLOWDOWN"},
    {"TB_SETNOR", "TB_SETNOR", "TB_SETPOI", "TB_SETDOWN"},
    {"TB_SELFIRST", "TB_SELNOR", "TB_SELPOI", "TB_SELDOWN"},
    {"TB_LOCKNOR", "TB_LOCKNOR", "TB_LOCKPOI", "TB_LOCKDOWN"},
    {"TB_ENDNOR", "TB_ENDNOR", "TB_ENDPOI", "TB_ENDDOWN"},
}};

// The chosen discs, in enum order from CmdBlue: first, normal, hover, pressed.
constexpr std::array<std::array<std::string_view, 4>, 5> kChosenNames{{
    {"TB_BLUESEL", "TB_BLUESEL", "TB_BLUEPOI", "TB_BLUESELDOWN"},
    {"TB_GREENSEL", "TB_GREENSEL", "TB_GREENPOI", "TB_GREENSELDOWN"},
    {"TB_REDSEL", "TB_REDSEL", "TB_REDPOI", "TB_REDSELDOWN"},
    {"TB_WHITESEL", "TB_WHITESEL", "TB_WHITEPOI", "TB_WHITESELDOWN"},
    {"TB_YELLOWSEL", "TB_YELLOWSEL", "TB_YELLOWPOI", "TB_YELLOWSELDOWN"},
}};
constexpr std::array<std::string_view, 4> kRunningLockNames{"TB_UNLOCKNOR", "TB_UNLOCKNOR", "TB_UNLOCKPOI",
                                                            "TB_UNLOCKDOWN"};

} // namespace

std::string_view PictureResource(ToolbarButton button, Picture picture, PictureLook look) {
    const auto slot = static_cast<std::size_t>(picture);
    const auto disc = static_cast<std::size_t>(button) - static_cast<std::size_t>(ToolbarButton::CmdBlue);
    if (look == PictureLook::Chosen && button >= ToolbarButton::CmdBlue &&
        button <= ToolbarButton::CmdYellow) {
        return kChosenNames[disc][slot];
    }
    if (look == PictureLook::Running && button == ToolbarButton::CmdLock) {
        return kRunningLockNames[slot];
    }
    return kNames[static_cast<std::size_t>(button)][slot];
}

unsigned PictureSetDpi(unsigned dpi) {
    unsigned chosen = kPictureSetDpis.front();
    for (unsigned set : kPictureSetDpis) {
        if (set <= dpi) {
            chosen = set;
        }
    }
    return chosen;
}

std::string PictureResourceAt(std::string_view resource, unsigned setDpi) {
    std::string name(resource);
    if (setDpi != kPictureSetDpis.front()) {
        name += '_' + std::to_string(setDpi);
    }
    return name;
}

} // namespace plumwick
