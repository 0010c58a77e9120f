#include "display/LayeredTextRenderer_win.h"

#include <gdiplus.h>

#include <memory>

namespace plumwick {

namespace {

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

} // namespace

bool LayeredTextRenderer::Render(const std::u16string& text, const LineStyle& style) {
    surface_.Clear();
    cacheValid_ = false;
    if (!gdiplus_.ok() || surface_.empty()) {
        return false;
    }
    // A GDI+ bitmap over the DIB's own pixels, premultiplied, so the alpha the window needs is explicit.
    Gdiplus::Bitmap canvas(surface_.width(), surface_.height(), surface_.width() * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(surface_.pixels()));
    Gdiplus::Graphics graphics(&canvas);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    float dpi = graphics.GetDpiX() > 0 ? graphics.GetDpiX() : 96.0f;

    std::wstring fontName(style.fontName.begin(), style.fontName.end());
    Gdiplus::FontFamily family(fontName.c_str());
    if (family.GetLastStatus() != Gdiplus::Ok) {
        return true; // no such font: the window receives the transparent image
    }
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    format.SetAlignment(Gdiplus::StringAlignmentCenter);

    // Only the part of the line that can reach the visible image is laid out, so a huge command line
    // costs no more than a full screen of text.
    std::u16string_view visible = VisibleTextPrefix(text, style.layoutWidth, surface_.height(), style.fontSize);
    std::wstring wide(visible.begin(), visible.end());

    // The outline is laid out once; each pass uses it moved by its offset.
    Gdiplus::GraphicsPath outline(Gdiplus::FillModeAlternate);
    Gdiplus::Rect layout(0, 0, style.layoutWidth, 0);
    outline.AddString(wide.c_str(), static_cast<INT>(wide.size()), &family, Gdiplus::FontStyleBold,
                      style.fontSize, layout, &format);

    Gdiplus::RectF gradientSquare(0, 0, style.fontSize, style.fontSize);
    for (const RenderPass& pass : style.passes) {
        if (style.fontSize <= 0) {
            break;
        }
        Gdiplus::LinearGradientBrush brush(gradientSquare, Gdiplus::Color(pass.color1), Gdiplus::Color(pass.color2),
                                           Gdiplus::LinearGradientModeVertical);
        brush.SetWrapMode(static_cast<Gdiplus::WrapMode>(pass.wrapMode));
        std::unique_ptr<Gdiplus::GraphicsPath> moved(outline.Clone());
        if (!moved) {
            continue;
        }
        if (pass.offset != 0) {
            Gdiplus::Matrix shift(1, 0, 0, 1, static_cast<Gdiplus::REAL>(pass.offset),
                                  static_cast<Gdiplus::REAL>(pass.offset));
            moved->Transform(&shift);
        }
        graphics.FillPath(&brush, moved.get());
        if (pass.outline) {
            Gdiplus::Pen pen(Gdiplus::Color(pass.penColor), PenWidthPixels(pass.penWidth, pass.penUnit, dpi));
            graphics.DrawPath(&pen, moved.get());
        }
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
    cachedText_ = text;
    cachedStyle_ = style;
    cacheValid_ = true;
    return true;
}

bool LayeredTextRenderer::Draw(HWND window, const std::u16string& text, const LineStyle& style, int width,
                               int height, int visibleWidth) {
    if (text.empty() || !window) {
        return false;
    }
    bool sameImage = mode_ == Mode::Cached && cacheValid_ && !surface_.empty() && surface_.width() == width &&
                     surface_.height() == height && cachedText_ == text && cachedStyle_ == style;
    if (!sameImage) {
        bool sizeKept = mode_ == Mode::Cached && !surface_.empty() && surface_.width() == width &&
                        surface_.height() == height;
        if (!sizeKept) {
            win::WindowDc screen(window);
            if (!surface_.Create(screen.get(), width, height)) {
                return false;
            }
        }
        Render(text, style);
    }
    presentedWidth_ = visibleWidth;
    return surface_.Present(window, visibleWidth);
}

bool LayeredTextRenderer::PresentVisible(HWND window, int visibleWidth) {
    if (surface_.empty()) {
        return false;
    }
    presentedWidth_ = visibleWidth;
    return surface_.Present(window, visibleWidth);
}

void LayeredTextRenderer::Clear() {
    surface_.Clear();
    cacheValid_ = false;
}

void LayeredTextRenderer::Release() {
    surface_.Release();
    cacheValid_ = false;
}

} // namespace plumwick
