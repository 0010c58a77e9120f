#include "display/LayeredTextRenderer_win.h"

#include "display/CoverageComposite.h"
#include "display/FontChoice.h"
#include "win32/Strings_win.h"

#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace plumwick {

// The passes name GDI+'s wrap modes and units in portable code.
static_assert(kWrapTileFlipY == Gdiplus::WrapModeTileFlipY && kWrapTileFlipXY == Gdiplus::WrapModeTileFlipXY);
static_assert(kUnitDocument == Gdiplus::UnitDocument);

namespace {

// The system's default interface faces: the stock GUI font's, then the message font's.
std::vector<std::u16string> SystemFaces() {
    std::vector<std::u16string> faces;
    LOGFONTW font{};
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) {
        faces.push_back(win::ToU16(font.lfFaceName));
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        faces.push_back(win::ToU16(metrics.lfMessageFont.lfFaceName));
    }
    return faces;
}

// A pen width in the pass's unit, in pixels of a surface at `dpi`.
float PenWidthPixels(float width, int unit, float dpi) {
    switch (static_cast<Gdiplus::Unit>(unit)) {
    case Gdiplus::UnitPoint:
        return width * dpi / 72.0f;
    case Gdiplus::UnitInch:
        return width * dpi;
    case Gdiplus::UnitDocument:
        return width * dpi / 300.0f;
    case Gdiplus::UnitMillimeter:
        return width * dpi / 25.4f;
    default:
        return width;
    }
}

int ClientWidth(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.right - client.left;
}

int ClientHeight(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.bottom - client.top;
}

// The coverage of the filled outline over its bounds (widened by a pixel for the anti-aliased edge),
// limited to the image and `margin` pixels around it: as far as a copy moved by up to margin pixels can
// bring it onto the image.
CoverageMask OutlineCoverage(const Gdiplus::GraphicsPath& outline, Gdiplus::SmoothingMode smoothing,
                             int imageWidth, int imageHeight, int margin) {
    CoverageMask mask;
    Gdiplus::RectF bounds;
    if (outline.GetBounds(&bounds) != Gdiplus::Ok || outline.GetPointCount() == 0) {
        return mask;
    }
    int left = std::max(-margin, static_cast<int>(std::floor(bounds.X)) - 1);
    int top = std::max(-margin, static_cast<int>(std::floor(bounds.Y)) - 1);
    int right = std::min(imageWidth + margin, static_cast<int>(std::ceil(bounds.X + bounds.Width)) + 1);
    int bottom = std::min(imageHeight + margin, static_cast<int>(std::ceil(bounds.Y + bounds.Height)) + 1);
    if (right <= left || bottom <= top) {
        return mask;
    }
    int width = right - left;
    int height = bottom - top;
    std::vector<std::uint32_t> scratch(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    {
        Gdiplus::Bitmap canvas(width, height, width * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(scratch.data()));
        Gdiplus::Graphics graphics(&canvas);
        graphics.SetSmoothingMode(smoothing);
        std::unique_ptr<Gdiplus::GraphicsPath> moved(outline.Clone());
        if (!moved) {
            return mask;
        }
        Gdiplus::Matrix shift(1, 0, 0, 1, static_cast<Gdiplus::REAL>(-left),
                              static_cast<Gdiplus::REAL>(-top));
        moved->Transform(&shift);
        Gdiplus::SolidBrush opaque(Gdiplus::Color(255, 255, 255, 255));
        graphics.FillPath(&opaque, moved.get());
        graphics.Flush(Gdiplus::FlushIntentionSync);
    }
    mask.left = left;
    mask.top = top;
    mask.width = width;
    mask.height = height;
    mask.alpha.resize(scratch.size());
    for (std::size_t i = 0; i < scratch.size(); ++i) {
        mask.alpha[i] = static_cast<std::uint8_t>(scratch[i] >> 24);
    }
    return mask;
}

// A pass whose fill is one colour, or a gradient mirrored along both axes (so along the vertical one
// whichever way the brush is turned), is filled from the kept coverage.
bool FilledFromCoverage(const RenderPass& pass) {
    return pass.color1 == pass.color2 || pass.wrapMode == kWrapTileFlipXY;
}

std::unique_ptr<Gdiplus::Brush> MakeBrush(const RenderPass& pass, const Gdiplus::RectF& gradientSquare) {
    auto gradient = std::make_unique<Gdiplus::LinearGradientBrush>(
        gradientSquare, Gdiplus::Color(pass.color1), Gdiplus::Color(pass.color2),
        Gdiplus::LinearGradientModeVertical);
    gradient->SetWrapMode(static_cast<Gdiplus::WrapMode>(pass.wrapMode));
    return gradient;
}

// A copy of the outline moved by `offset` pixels right and down.
std::unique_ptr<Gdiplus::GraphicsPath> MovedCopy(const Gdiplus::GraphicsPath& outline, int offset) {
    std::unique_ptr<Gdiplus::GraphicsPath> moved(outline.Clone());
    if (moved && offset != 0) {
        Gdiplus::Matrix shift(1, 0, 0, 1, static_cast<Gdiplus::REAL>(offset),
                              static_cast<Gdiplus::REAL>(offset));
        moved->Transform(&shift);
    }
    return moved;
}

// How far any pass moves the outline: the coverage must reach that far beyond the image.
int LargestOffset(const std::vector<RenderPass>& passes) {
    int largest = 0;
    for (const RenderPass& pass : passes) {
        largest = std::max(largest, std::abs(pass.offset));
    }
    return largest;
}

} // namespace

LayeredTextRenderer::Rows LayeredTextRenderer::InkRows() const {
    const std::uint32_t* pixels = surface_.pixels();
    int width = surface_.width();
    auto rowHasInk = [&](int y) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        std::uint32_t any = 0;
        for (int x = 0; x < width; ++x) {
            any |= row[x]; // no early exit, so the loop vectorises
        }
        return any != 0;
    };
    Rows rows;
    int top = 0;
    while (top < surface_.height() && !rowHasInk(top)) {
        ++top;
    }
    if (top == surface_.height()) {
        return rows;
    }
    int bottom = surface_.height();
    while (bottom > top && !rowHasInk(bottom - 1)) {
        --bottom;
    }
    return {top, bottom};
}

bool LayeredTextRenderer::Render(const std::u16string& text, const LineStyle& style) {
    cacheValid_ = false;
    ++imageVersion_;
    if (surface_.empty()) {
        return false;
    }
    ClearPreviousInk();
    if (!gdiplus_.ok()) {
        return false;
    }
    if (!FillPasses(text, style)) {
        return true; // no such font: the window receives the transparent image, and the next draw tries again
    }
    if (mode_ == Mode::Cached) {
        inkRows_ = InkRows();
        changedRows_ = Union(changedRows_, inkRows_);
    }
    cachedText_ = text;
    cachedStyle_ = style;
    cacheValid_ = true;
    return true;
}

void LayeredTextRenderer::ClearPreviousInk() {
    // Only the rows the previous line reached need clearing; the rest of the surface is transparent.
    Rows previous = inkRows_;
    if (!previous.empty()) {
        GdiFlush();
        std::size_t rowBytes = static_cast<std::size_t>(surface_.width()) * 4;
        std::memset(surface_.pixels() + static_cast<std::size_t>(previous.top) * surface_.width(), 0,
                    rowBytes * static_cast<std::size_t>(previous.bottom - previous.top));
    }
    inkRows_ = {};
    changedRows_ = Union(changedRows_, previous);
}

std::unique_ptr<Gdiplus::FontFamily> LayeredTextRenderer::DrawingFamily(const std::u16string& chosen) {
    for (const std::u16string& face : FontCandidates(chosen, SystemFaces())) {
        std::wstring name(face.begin(), face.end());
        auto family = std::make_unique<Gdiplus::FontFamily>(name.c_str());
        if (family->GetLastStatus() != Gdiplus::Ok) {
            continue;
        }
        if (face != chosen && fontMissing_) {
            fontMissing_(chosen, face);
        }
        return family;
    }
    return nullptr;
}

bool LayeredTextRenderer::FillPasses(const std::u16string& text, const LineStyle& style) {
    std::unique_ptr<Gdiplus::FontFamily> drawing = DrawingFamily(style.fontName);
    if (!drawing) {
        return false;
    }
    const Gdiplus::FontFamily& family = *drawing;
    // A GDI+ bitmap over the DIB's own pixels, premultiplied, so the alpha the window needs is explicit.
    Gdiplus::Bitmap canvas(surface_.width(), surface_.height(), surface_.width() * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(surface_.pixels()));
    Gdiplus::Graphics graphics(&canvas);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    format.SetAlignment(Gdiplus::StringAlignmentCenter);

    // Only the part of the line that can reach the visible image is laid out, so a huge command line
    // costs no more than a full screen of text.
    std::u16string_view visible =
        VisibleTextPrefix(text, style.layoutWidth, surface_.height(), style.fontSize);
    std::wstring wide(visible.begin(), visible.end());
    // The straightforward path lays the text out again for every pass, in a layout rectangle moved by the
    // pass's offset; the kept-image path lays it out once and moves copies of that outline.
    auto layOut = [&](int offset) {
        auto path = std::make_unique<Gdiplus::GraphicsPath>(Gdiplus::FillModeAlternate);
        path->AddString(wide.c_str(), static_cast<INT>(wide.size()), &family, Gdiplus::FontStyleBold,
                        style.fontSize, Gdiplus::Rect(offset, offset, style.layoutWidth, 0), &format);
        return path;
    };
    std::unique_ptr<Gdiplus::GraphicsPath> outline = mode_ == Mode::Cached ? layOut(0) : nullptr;
    std::optional<CoverageMask> coverage; // rasterised on the first pass that can be blended from it
    for (const RenderPass& pass : style.passes) {
        if (style.fontSize <= 0) {
            break;
        }
        std::unique_ptr<Gdiplus::GraphicsPath> moved =
            outline ? MovedCopy(*outline, pass.offset) : layOut(pass.offset);
        if (moved) {
            FillPass(graphics, pass, style, *moved, outline.get(), coverage);
        }
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
    return true;
}

void LayeredTextRenderer::FillPass(Gdiplus::Graphics& graphics, const RenderPass& pass,
                                   const LineStyle& style, const Gdiplus::GraphicsPath& moved,
                                   const Gdiplus::GraphicsPath* outline,
                                   std::optional<CoverageMask>& coverage) {
    // Every pass fills the same outline moved by whole pixels: the outline is rasterised once and the
    // passes are blended from that coverage instead of filling the outline again (the pen is still drawn
    // by GDI+).
    if (outline && FilledFromCoverage(pass)) {
        if (!coverage) {
            coverage = OutlineCoverage(*outline, graphics.GetSmoothingMode(), surface_.width(),
                                       surface_.height(), LargestOffset(style.passes));
        }
        graphics.Flush(Gdiplus::FlushIntentionSync); // what GDI+ drew so far lies under this pass
        CompositeFill(surface_.pixels(), surface_.width(), surface_.height(), *coverage,
                      {pass.color1, pass.color2, style.fontSize}, pass.offset, pass.offset);
    } else {
        Gdiplus::RectF gradientSquare(0, 0, style.fontSize, style.fontSize);
        graphics.FillPath(MakeBrush(pass, gradientSquare).get(), &moved);
    }
    if (pass.outline) {
        float dpi = graphics.GetDpiX() > 0 ? graphics.GetDpiX() : 96.0f;
        Gdiplus::Pen pen(Gdiplus::Color(pass.penColor), PenWidthPixels(pass.penWidth, pass.penUnit, dpi));
        graphics.DrawPath(&pen, &moved);
    }
}

bool LayeredTextRenderer::Draw(HWND window, const std::u16string& text, const LineStyle& style, int width,
                               int height, int visibleWidth) {
    if (!Prepare(window, text, style, width, height)) {
        return false;
    }
    return Show(window, visibleWidth);
}

bool LayeredTextRenderer::Prepare(HWND window, const std::u16string& text, const LineStyle& style, int width,
                                  int height) {
    if (text.empty() || !window) {
        return false;
    }
    bool sameImage = mode_ == Mode::Cached && cacheValid_ && !surface_.empty() && surface_.width() == width &&
                     surface_.height() == height && cachedText_ == text && cachedStyle_ == style;
    if (!sameImage) {
        bool sizeKept = mode_ == Mode::Cached && !surface_.empty() && surface_.width() == width &&
                        surface_.height() == height;
        if (!sizeKept) {
            ForgetShownImage();
            inkRows_ = changedRows_ = {};
            win::WindowDc screen(window);
            if (!surface_.Create(screen.get(), width, height)) {
                return false;
            }
        }
        return Render(text, style);
    }
    return true;
}

bool LayeredTextRenderer::PresentVisible(HWND window, int visibleWidth) {
    if (surface_.empty()) {
        return false;
    }
    return Show(window, visibleWidth);
}

bool LayeredTextRenderer::Show(HWND window, int visibleWidth) {
    int width = visibleWidth < 0 || visibleWidth > surface_.width() ? surface_.width() : visibleWidth;
    // A window whose size changes gets the whole image: the window system may drop what the window
    // showed when it resizes it (Wine does, once the window has been hidden and shown again).
    bool sameSize =
        width == presentedWidth_ && width == ClientWidth(window) && surface_.height() == ClientHeight(window);
    if (mode_ == Mode::Straightforward || shownWindow_ != window || width <= 0 || !sameSize) {
        bool shown = surface_.Present(window, width);
        shownWindow_ = shown && mode_ == Mode::Cached ? window : nullptr;
        presentedWidth_ = width;
        changedRows_ = {};
        return shown;
    }
    // The window already shows the image as last presented, at this size: only the rows rendered anew
    // are handed over again (a new line changes only the rows of the old and the new text), and nothing
    // when the image is the same.
    if (changedRows_.empty()) {
        return true;
    }
    RECT dirty{0, changedRows_.top, width, changedRows_.bottom};
    bool shown = surface_.PresentDirty(window, dirty);
    if (!shown) {
        ForgetShownImage();
    }
    presentedWidth_ = width;
    changedRows_ = {};
    return shown;
}

void LayeredTextRenderer::Clear() {
    surface_.Clear();
    ++imageVersion_;
    cacheValid_ = false;
    inkRows_ = {};
    ForgetShownImage(); // the window still shows what the surface no longer holds
}

void LayeredTextRenderer::Release() {
    surface_.Release();
    ++imageVersion_;
    cacheValid_ = false;
    inkRows_ = changedRows_ = {};
    ForgetShownImage();
}

} // namespace plumwick
