#pragma once
// Where the content manager opens: wholly inside the work area, on the side of the screen away from the
// text line, so its top row (interval, "确定 ", split option) is never under the always-on-top display.
#include "common/PixelRect.h"
#include "content/FolderScan.h"

#include <vector>

namespace plumwick {

struct ManagerPlace {
    int x = 0;
    int y = 0;
    int height = 0; // outer height; shorter than wanted means the grid scrolls
};

// workArea: the screen less the taskbar; lineTop..lineBottom: the screen rows the display's line, its
// panel and its toolbar take. The window goes into the larger of the rooms above and below the line,
// centred in it and centred across the work area, as tall as it wants or as the room allows. A room
// shorter than minHeight (the window's top row and one row of files) is no room: the window then takes the
// whole work area's height range, and its being above the display while active keeps it usable.
ManagerPlace PlaceContentManager(const PixelRect& workArea, int lineTop, int lineBottom, int width,
                                 int wantedHeight, int minHeight);

// The ticks of a fresh scan, keeping those of files that were listed and ticked before: the same path
// (folder + caption) keeps its tick; new files come unticked, vanished ones are dropped.
std::vector<bool> KeepTicks(const std::vector<ContentEntry>& before, const std::vector<bool>& ticksBefore,
                            const std::vector<ContentEntry>& after);

} // namespace plumwick
