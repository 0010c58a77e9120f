#include "content/ManagerPlacement.h"

#include <algorithm>
#include <set>
#include <string>

namespace plumwick {

ManagerPlace PlaceContentManager(const PixelRect& workArea, int lineTop, int lineBottom, int width,
                                 int wantedHeight, int minHeight) {
    const int workHeight = std::max(0, workArea.Height());
    // The line clipped to the work area; a line outside it leaves the whole work area as one room.
    const int top = std::clamp(lineTop, workArea.top, workArea.top + workHeight);
    const int bottom = std::clamp(std::max(lineBottom, lineTop), workArea.top, workArea.top + workHeight);
    const int above = top - workArea.top;
    const int below = workArea.top + workHeight - bottom;

    int roomTop = workArea.top;
    int roomHeight = workHeight;
    if (std::max(above, below) >= minHeight) {
        if (below >= above) {
            roomTop = bottom;
            roomHeight = below;
        } else {
            roomHeight = above;
        }
    }

    ManagerPlace place;
    place.height = std::clamp(wantedHeight, 0, roomHeight);
    place.y = roomTop + (roomHeight - place.height) / 2;
    place.x = workArea.left + std::max(0, (workArea.Width() - width) / 2);
    return place;
}

std::vector<bool> KeepTicks(const std::vector<ContentEntry>& before, const std::vector<bool>& ticksBefore,
                            const std::vector<ContentEntry>& after) {
    std::set<std::u16string> ticked;
    for (std::size_t i = 0; i < before.size() && i < ticksBefore.size(); ++i) {
        if (ticksBefore[i]) {
            ticked.insert(before[i].folder + before[i].caption);
        }
    }
    std::vector<bool> ticks;
    ticks.reserve(after.size());
    for (const ContentEntry& entry : after) {
        ticks.push_back(ticked.count(entry.folder + entry.caption) > 0);
    }
    return ticks;
}

} // namespace plumwick
