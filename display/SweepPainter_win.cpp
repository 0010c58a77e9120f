#include "display/SweepPainter_win.h"

#include <algorithm>
#include <cstring>

namespace plumwick {

namespace {

void ResizeWindow(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ClientSizeIs(HWND window, int width, int height) {
    RECT client{};
    GetClientRect(window, &client);
    return client.right - client.left == width && client.bottom - client.top == height;
}

// The bounding rectangle of the surface's non-transparent pixels.
PixelRect InkOf(const win::LayeredSurface& surface) {
    GdiFlush();
    const std::uint32_t* pixels = surface.pixels();
    int width = surface.width();
    PixelRect ink{width, surface.height(), 0, 0};
    for (int y = 0; y < surface.height(); ++y) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        int x = 0;
        while (x < width && row[x] == 0) {
            ++x;
        }
        if (x == width) {
            continue;
        }
        int right = width;
        while (right > x && row[right - 1] == 0) {
            --right;
        }
        ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, right), y + 1};
    }
    return ink.Empty() ? PixelRect{} : ink;
}

} // namespace

void SweepPainter::Arm(HWND window, int edge, int height) {
    if (renderer_.GetMode() == LayeredTextRenderer::Mode::Straightforward && window) {
        ResizeWindow(window, std::max(edge, 0), height);
    }
}

bool SweepPainter::Draw(HWND window, const std::u16string& text, const LineStyle& style, int edge,
                        int screenWidth, int height, double now) {
    return Update(window, text, style, edge, screenWidth, height, now, false, 0);
}

bool SweepPainter::Tick(HWND window, const std::u16string& text, const LineStyle& style, int edge,
                        int screenWidth, int height, double now, std::uint64_t textVersion) {
    if (lastEdge_ >= 0 && edge != lastEdge_) {
        ++counts_.moves;
    }
    lastEdge_ = edge;
    return Update(window, text, style, edge, screenWidth, height, now, true, textVersion);
}

bool SweepPainter::Flush(HWND window, double now) {
    if (!pending_ || window != pendingWindow_) {
        return false;
    }
    return Show(window, pendingEdge_, now, false);
}

bool SweepPainter::Update(HWND window, const std::u16string& text, const LineStyle& style, int edge,
                          int screenWidth, int height, double now, bool paced, std::uint64_t textVersion) {
    if (!window) {
        return false;
    }
    if (renderer_.GetMode() == LayeredTextRenderer::Mode::Straightforward) {
        return ShowStraightforward(window, text, style, edge, height);
    }
    if (!text.empty() && !Prepared(textVersion, style, screenWidth, height)) {
        // The line is rendered across the whole screen once; the edge decides how much of it shows.
        renderer_.Prepare(window, text, style, screenWidth, height);
        preparedText_ = textVersion;
        preparedImage_ = renderer_.ImageVersion();
        preparedStyle_ = style;
        preparedWidth_ = screenWidth;
        preparedHeight_ = height;
    }
    return Show(window, edge, now, paced);
}

bool SweepPainter::Prepared(std::uint64_t textVersion, const LineStyle& style, int screenWidth,
                            int height) const {
    return textVersion != 0 && textVersion == preparedText_ && renderer_.ImageVersion() == preparedImage_ &&
           screenWidth == preparedWidth_ && height == preparedHeight_ && style == preparedStyle_;
}

bool SweepPainter::ShowStraightforward(HWND window, const std::u16string& text, const LineStyle& style,
                                       int edge, int height) {
    pending_ = false;
    if (text.empty() || edge <= 0) {
        ResizeWindow(window, std::max(edge, 0), height);
        return false;
    }
    // The present sizes the window, so it is resized and repainted in one step.
    bool shown = renderer_.Draw(window, text, style, edge, height);
    if (shown) {
        ++counts_.presents;
        ++counts_.fullPresents;
        counts_.pixels += static_cast<long long>(edge) * height;
        counts_.lastDirty = {0, 0, edge, height};
    }
    return shown;
}

bool SweepPainter::Show(HWND window, int edge, double now, bool paced) {
    const win::LayeredSurface& image = renderer_.Surface();
    if (image.empty()) {
        return false;
    }
    if (renderer_.ImageVersion() != inkVersion_) {
        imageInk_ = InkOf(image);
        inkVersion_ = renderer_.ImageVersion();
    }
    if (frame_.empty() || frame_.width() != image.width() || frame_.height() != image.height()) {
        win::WindowDc screen(window);
        if (!frame_.Create(screen.get(), image.width(), image.height())) {
            return false;
        }
        frameComposed_ = false;
        shownWindow_ = nullptr;
    }
    bool sameImage = frameComposed_ && frameVersion_ == renderer_.ImageVersion();
    PixelRect dirty = sameImage        ? EdgeMoveDirty(imageInk_, frameEdge_, edge)
                      : frameComposed_ ? ImageChangeDirty(frameInk_, frameEdge_, imageInk_, edge)
                                       : VisibleInk(imageInk_, edge);
    bool whole = shownWindow_ != window || !ClientSizeIs(window, frame_.width(), frame_.height());
    if (dirty.Empty() && !whole) {
        // Nothing the window shows changes (the edge moved over blank columns, or did not move).
        frameVersion_ = renderer_.ImageVersion();
        frameInk_ = imageInk_;
        frameEdge_ = edge;
        pending_ = false;
        return false;
    }
    if (paced && !whole && !pacer_.MayPresent(now)) {
        pending_ = true;
        pendingWindow_ = window;
        pendingEdge_ = edge;
        return false;
    }
    Compose(dirty, edge);
    pending_ = false;
    bool shown = Present(window, whole, dirty);
    shownWindow_ = shown ? window : nullptr;
    pacer_.Presented(now);
    return shown;
}

bool SweepPainter::Present(HWND window, bool whole, PixelRect dirty) {
    bool shown = false;
    if (!whole) {
        RECT rect{dirty.left, dirty.top, dirty.right, dirty.bottom};
        shown = frame_.PresentDirty(window, rect);
    }
    if (!shown) {
        // A window that may not hold the rest, or whatever the window system made of the dirty
        // rectangle: the whole image puts it right.
        shown = frame_.Present(window);
        dirty = {0, 0, frame_.width(), frame_.height()};
        ++counts_.fullPresents;
    }
    ++counts_.presents;
    counts_.pixels += dirty.Area();
    counts_.lastDirty = dirty;
    return shown;
}

void SweepPainter::Compose(const PixelRect& dirty, int edge) {
    const win::LayeredSurface& image = renderer_.Surface();
    frameVersion_ = renderer_.ImageVersion();
    frameInk_ = imageInk_;
    frameEdge_ = edge;
    frameComposed_ = true;
    if (dirty.Empty()) {
        return;
    }
    GdiFlush();
    std::size_t width = static_cast<std::size_t>(frame_.width());
    int split = std::clamp(edge, dirty.left, dirty.right);
    for (int y = dirty.top; y < dirty.bottom; ++y) {
        std::uint32_t* to = frame_.pixels() + static_cast<std::size_t>(y) * width;
        const std::uint32_t* from = image.pixels() + static_cast<std::size_t>(y) * width;
        std::memcpy(to + dirty.left, from + dirty.left, static_cast<std::size_t>(split - dirty.left) * 4);
        std::memset(to + split, 0, static_cast<std::size_t>(dirty.right - split) * 4);
    }
}

} // namespace plumwick
