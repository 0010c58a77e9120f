#pragma once
// Names of the skin's bitmap resources (toolbar/Toolbar.rc) for the strip and every button picture.
#include "toolbar/ButtonPictures.h"

#include <string_view>

namespace plumwick {

inline constexpr std::string_view kStripResource = "TB_PIC";
inline constexpr std::string_view kHintResource = "TB_HINT";
inline constexpr std::string_view kSeparatorResource = "TB_SEPARATOR";

// "TB_BLUEPOI" for CmdBlue's hover picture; Initial of a button other than CmdLrc names its normal one.
std::string_view PictureResource(ToolbarButton button, Picture picture);

} // namespace plumwick
