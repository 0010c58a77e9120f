#pragma once
// The display state shared by every window of the process (one instance, owned by the App).
#include <cstdint>
#include <string>
#include <vector>

namespace plumwick {

using Argb = std::uint32_t; // 0xAARRGGBB

struct DisplayState {
    std::u16string currentText;  // last non-empty line the main window drew
    std::u16string karaokeText;  // line the karaoke sweep redraws on every tick
    std::u16string fontName;     // settings line 1
    float fontSize = 36.0f;      // settings line 2, pixels
    std::int16_t colorScheme = 0; // 0 = none chosen yet, else 1..5
    Argb mainColor1 = 0;
    Argb mainColor2 = 0;
    std::vector<std::u16string> infoLines; // the published message list
    double infoIndex = 0;                  // index of the message last shown by the rotation
};

} // namespace plumwick
