#pragma once
// Names of the skin's bitmap resources (toolbar/Toolbar.rc) for the strip and every button picture.
#include "toolbar/ButtonPictures.h"

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

} // namespace plumwick
