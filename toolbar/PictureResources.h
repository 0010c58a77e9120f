#pragma once
// Names of the skin's bitmap resources (toolbar/Toolbar.rc) for the strip and every button picture.
#include "toolbar/ButtonPictures.h"

#include <array>
#include <string>
#include <string_view>

namespace plumwick {

inline constexpr std::string_view kStripResource = "TB_PIC";
inline constexpr std::string_view kHintResource = "TB_HINT";
inline constexpr std::string_view kSeparatorResource = "TB_SEPARATOR";

// "TB_BLUEPOI" for CmdBlue's hover picture; Initial of a button other than CmdLrc names its normal one.
// The look picks the chosen disc's normal and pressed pictures ("TB_BLUESEL", "TB_BLUESELDOWN"; its
// hover ring stays) and the running pause button's three ("TB_UNLOCKNOR", ...); a look a button does not
// have gives its plain pictures.
std::string_view PictureResource(ToolbarButton button, Picture picture,
                                 PictureLook look = PictureLook::Plain);

// The DPIs the toolbar's pictures are drawn for (toolbar/res/ for 96, toolbar/res/<dpi>/ for the others).
inline constexpr std::array<unsigned, 5> kPictureSetDpis{96, 120, 144, 168, 192};
// The set a toolbar at `dpi` draws from: the largest drawn for that DPI or less (96's below 96). Only what
// lies between two sets (or beyond 192) is stretched.
unsigned PictureSetDpi(unsigned dpi);
// A picture's resource in the set of `setDpi`: "TB_BLUENOR" at 96 DPI, "TB_BLUENOR_144" at 144.
std::string PictureResourceAt(std::string_view resource, unsigned setDpi);

} // namespace plumwick
