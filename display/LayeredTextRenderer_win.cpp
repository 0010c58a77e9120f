#include "display/LayeredTextRenderer_win.h"

#include <gdiplus.h>

#include <algorithm>
#include <cstring>
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
    if (surface_.empty()) {
        return false;
    }
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
    if (!gdiplus_.ok()) {
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

    // The outline is laid out once and each pass uses it moved by its offset; the straightforward path
    // lays the text out again for every pass, in a layout rectangle moved by the offset.
    Gdiplus::Rect layout(0, 0, style.layoutWidth, 0);
    auto layOut = [&](const Gdiplus::Rect& at) {
        auto path = std::make_unique<Gdiplus::GraphicsPath>(Gdiplus::FillModeAlternate);
        path->AddString(wide.c_str(), static_cast<INT>(wide.size()), &family, Gdiplus::FontStyleBold,
                        style.fontSize, at, &format);
        return path;
    };
    std::unique_ptr<Gdiplus::GraphicsPath> outline;
    if (mode_ == Mode::Cached) {
        outline = layOut(layout);
    }

    Gdiplus::RectF gradientSquare(0, 0, style.fontSize, style.fontSize);
    for (const RenderPass& pass : style.passes) {
        if (style.fontSize <= 0) {
            break;
        }
        // A gradient between equal colours is that colour everywhere; the solid brush fills the same
        // pixels a good deal faster (the six shadow passes).
        std::unique_ptr<Gdiplus::Brush> brush;
        if (mode_ == Mode::Cached && pass.color1 == pass.color2) {
            brush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(pass.color1));
        } else {
            auto gradient = std::make_unique<Gdiplus::LinearGradientBrush>(
                gradientSquare, Gdiplus::Color(pass.color1), Gdiplus::Color(pass.color2),
                Gdiplus::LinearGradientModeVertical);
            gradient->SetWrapMode(static_cast<Gdiplus::WrapMode>(pass.wrapMode));
            brush = std::move(gradient);
        }
        std::unique_ptr<Gdiplus::GraphicsPath> moved;
        if (outline) {
            moved.reset(outline->Clone());
            if (moved && pass.offset != 0) {
                Gdiplus::Matrix shift(1, 0, 0, 1, static_cast<Gdiplus::REAL>(pass.offset),
                                      static_cast<Gdiplus::REAL>(pass.offset));
                moved->Transform(&shift);
            }
        } else {
            moved = layOut(Gdiplus::Rect(pass.offset, pass.offset, style.layoutWidth, 0));
        }
        if (!moved) {
            continue;
        }
        graphics.FillPath(brush.get(), moved.get());
        if (pass.outline) {
            Gdiplus::Pen pen(Gdiplus::Color(pass.penColor), PenWidthPixels(pass.penWidth, pass.penUnit, dpi));
            graphics.DrawPath(&pen, moved.get());
        }
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
    if (mode_ == Mode::Cached) {
        inkRows_ = InkRows();
        changedRows_ = Union(changedRows_, inkRows_);
    }
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
            ForgetShownImage();
            inkRows_ = changedRows_ = {};
            win::WindowDc screen(window);
            if (!surface_.Create(screen.get(), width, height)) {
                return false;
            }
        }
        Render(text, style);
    }
    return Show(window, visibleWidth);
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
    GdiFlush();
    win::AddLayeredStyle(window);
    win::WindowDc screen(window);
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof info;
    info.hdcDst = screen.get();
    info.psize = nullptr; // the size is unchanged, so the window system can keep its surface as it is
    info.hdcSrc = surface_.dc();
    info.pptSrc = &source;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = &dirty;
    bool shown = UpdateLayeredWindowIndirect(window, &info) != FALSE;
    if (!shown) {
        ForgetShownImage();
    }
    presentedWidth_ = width;
    changedRows_ = {};
    return shown;
}

void LayeredTextRenderer::Clear() {
    surface_.Clear();
    cacheValid_ = false;
    inkRows_ = {};
    ForgetShownImage(); // the window still shows what the surface no longer holds
}

void LayeredTextRenderer::Release() {
    surface_.Release();
    cacheValid_ = false;
    inkRows_ = changedRows_ = {};
    ForgetShownImage();
}

} // namespace plumwick
