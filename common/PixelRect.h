#pragma once
// A rectangle of pixels, right and bottom exclusive (as the window system's RECT).
namespace plumwick {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return left >= right || top >= bottom; }
    long long Area() const { return Empty() ? 0 : static_cast<long long>(right - left) * (bottom - top); }
    bool operator==(const PixelRect&) const = default;
};

} // namespace plumwick
