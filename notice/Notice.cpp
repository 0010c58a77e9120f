#include "notice/Notice.h"

#include <algorithm>

namespace plumwick {

bool NoticeGate::FirstTime(NoticeCause cause) {
    std::size_t slot = static_cast<std::size_t>(cause);
    if (slot >= told_.size() || told_.test(slot)) {
        return false;
    }
    told_.set(slot);
    return true;
}

void NoticeGate::Cleared(NoticeCause cause) {
    std::size_t slot = static_cast<std::size_t>(cause);
    if (slot < told_.size()) {
        told_.reset(slot);
    }
}

PixelRect PlaceNotice(const PixelRect& workArea, int width, int height, const std::vector<PixelRect>& open,
                      int marginPx) {
    width = std::clamp(width, 0, std::max(0, workArea.Width() - 2 * marginPx));
    height = std::clamp(height, 0, std::max(0, workArea.Height() - 2 * marginPx));
    const int right = workArea.right - marginPx;
    const int left = right - width;
    const int firstTop = workArea.top + marginPx;

    auto overlaps = [&](int top, const PixelRect& other) {
        return left < other.right && other.left < right && top < other.bottom + marginPx &&
               other.top < top + height + marginPx;
    };
    // Walk down the column past every open notice in the way.
    int top = firstTop;
    for (bool moved = true; moved;) {
        moved = false;
        for (const PixelRect& other : open) {
            if (overlaps(top, other)) {
                top = other.bottom + marginPx;
                moved = true;
            }
        }
    }
    if (top + height > workArea.bottom - marginPx) {
        top = firstTop;
    }
    return {left, top, right, top + height};
}

} // namespace plumwick
