#pragma once
// Draws one line of text as the whole image of a per-pixel-alpha window: the passes of the window (shadow
// copies, then the face) fill the line's outline with vertical two-colour gradients.
//
// The finished line image is kept: drawing the same line again, or showing more or less of it (the
// karaoke sweep widens its window every 10 ms), only hands the kept image to the window again. A new text,
// font, size or colour renders afresh, rasterising the outline once and blending every pass from it.
#include "display/CoverageComposite.h"
#include "display/RenderPasses.h"
#include "win32/Layered_win.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Gdiplus {
class FontFamily;
class Graphics;
class GraphicsPath;
} // namespace Gdiplus

namespace plumwick {

struct LineStyle {
    std::u16string fontName;
    float fontSize = 0;
    std::vector<RenderPass> passes;
    int layoutWidth = 0; // the band the line is centred in, pixels from the window's left edge
    bool operator==(const LineStyle&) const = default;
};

class LayeredTextRenderer {
  public:
    // Straightforward rebuilds the outline and the image on every call and lets GDI+ fill every pass (kept
    // for the benchmark's comparison); Cached keeps what has not changed.
    enum class Mode { Cached, Straightforward };

    LayeredTextRenderer() = default;
    LayeredTextRenderer(const LayeredTextRenderer&) = delete;
    LayeredTextRenderer& operator=(const LayeredTextRenderer&) = delete;

    bool Started() const { return gdiplus_.ok(); }
    void SetMode(Mode mode) { mode_ = mode; }
    Mode GetMode() const { return mode_; }

    // Renders `text` into a width x height image and presents the left `visibleWidth` columns (all when
    // negative) as the window's image. An empty text does nothing. False when nothing could be presented.
    bool Draw(HWND window, const std::u16string& text, const LineStyle& style, int width, int height,
              int visibleWidth = -1);
    // Renders `text` into a width x height image, or keeps the image when it is the same, without
    // presenting it (a caller that composes the window's image itself). False when there is no image.
    bool Prepare(HWND window, const std::u16string& text, const LineStyle& style, int width, int height);
    // Changes whenever the image does (rendered, cleared, released).
    std::uint64_t ImageVersion() const { return imageVersion_; }
    // Presents the kept image again, showing its left `visibleWidth` columns.
    bool PresentVisible(HWND window, int visibleWidth);
    // Forgets the kept image (all transparent); the window keeps what it shows until the next Draw.
    void Clear();
    // The window may no longer show the last presented image (it was hidden, or resized by someone
    // else): the next present hands over the whole image again.
    void ForgetShownImage() { shownWindow_ = nullptr; }
    // Releases the drawing resources.
    void Release();

    // Told when the chosen font is not installed and another face draws the line: the chosen name, the
    // face drawing instead.
    using FontMissingHandler = std::function<void(const std::u16string& chosen, const std::u16string& face)>;
    void SetFontMissingHandler(FontMissingHandler handler) { fontMissing_ = std::move(handler); }

    // The rendered image (premultiplied BGRA, top-down), for tests and the benchmark.
    const win::LayeredSurface& Surface() const { return surface_; }

  private:
    struct Rows {
        int top = 0;
        int bottom = 0; // exclusive; top == bottom: none
        bool empty() const { return top >= bottom; }
    };
    static Rows Union(const Rows& a, const Rows& b) {
        return a.empty() ? b : b.empty() ? a : Rows{std::min(a.top, b.top), std::max(a.bottom, b.bottom)};
    }
    // Renders the line into the surface; false when there is no surface or no GDI+.
    bool Render(const std::u16string& text, const LineStyle& style);
    // The rows the previous line reached, made transparent again.
    void ClearPreviousInk();
    // The chosen font's family, or the first installed face after it; nothing when no face exists.
    std::unique_ptr<Gdiplus::FontFamily> DrawingFamily(const std::u16string& chosen);
    // Every pass of the style, in order; false when no font exists.
    bool FillPasses(const std::u16string& text, const LineStyle& style);
    // One pass over the outline moved by its offset: blended from the outline's coverage where it can be,
    // else filled by GDI+; then its pen.
    void FillPass(Gdiplus::Graphics& graphics, const RenderPass& pass, const LineStyle& style,
                  const Gdiplus::GraphicsPath& moved, const Gdiplus::GraphicsPath* outline,
                  std::optional<CoverageMask>& coverage);
    // Hands the image's left `visibleWidth` columns to the window; in the cached mode only the part the
    // window does not show yet is blended again.
    bool Show(HWND window, int visibleWidth);
    // The rows of the surface holding any visible pixel.
    Rows InkRows() const;

    FontMissingHandler fontMissing_;
    win::GdiplusSession gdiplus_;
    win::LayeredSurface surface_;
    Mode mode_ = Mode::Cached;
    bool cacheValid_ = false;
    std::uint64_t imageVersion_ = 0;
    std::u16string cachedText_;
    LineStyle cachedStyle_;
    int presentedWidth_ = -1;
    HWND shownWindow_ = nullptr; // the window showing the surface as last presented, but for changedRows_
    Rows inkRows_;               // rows of the surface that may hold visible pixels
    Rows changedRows_;           // rows rendered anew since the last present
};

} // namespace plumwick
