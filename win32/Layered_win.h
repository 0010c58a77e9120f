#pragma once
// Per-pixel-alpha windows: the off-screen 32-bit surface, its presentation, and the lock/unlock style.
#include "win32/Handles_win.h"

#include <cstdint>

namespace plumwick::win {

// One start-up of GDI+ (each layered window holds its own, as they are created and closed independently).
class GdiplusSession {
  public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return status_ == 0; }

  private:
    ULONG_PTR token_ = 0;
    int status_ = -1;
};

// A memory DC holding a 32 bpp DIB section, premultiplied BGRA, rows top-down in memory order as GDI+ sees
// them. Handed to UpdateLayeredWindow as the window's whole image.
class LayeredSurface {
  public:
    LayeredSurface() = default;
    LayeredSurface(const LayeredSurface&) = delete;
    LayeredSurface& operator=(const LayeredSurface&) = delete;
    ~LayeredSurface() { Release(); }

    // Makes a fresh, fully transparent surface of width x height (> 0). False when it cannot be made
    // (too large, out of GDI resources); the surface is then empty.
    bool Create(HDC compatibleWith, int width, int height);
    void Release();
    void Clear(); // all pixels transparent black

    HDC dc() const { return dc_.get(); }
    std::uint32_t* pixels() const { return bits_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return bits_ == nullptr; }

    // The window's image becomes the surface's left `width` columns (all when negative), blended per
    // pixel at constant alpha 255; the window takes that size and keeps its position. Adds WS_EX_LAYERED
    // first. Returns the UpdateLayeredWindow result.
    bool Present(HWND window, int width = -1) const;
    // Hands over only `dirty` of a window that already shows this surface at its size: the window system
    // keeps its surface and copies that rectangle (a size change would make it build a new one and copy
    // everything). Returns the UpdateLayeredWindowIndirect result.
    bool PresentDirty(HWND window, const RECT& dirty) const;

  private:
    // Declared in the order they are made, so they go in reverse: the bitmap is taken out of the DC
    // before it is deleted, and the DC goes last.
    UniqueDc dc_;
    UniqueBitmap bitmap_;
    SelectGuard selection_;
    std::uint32_t* bits_ = nullptr; // the DIB's pixels, owned by bitmap_
    int width_ = 0;
    int height_ = 0;
};

// Adds WS_EX_LAYERED to a window's extended style, keeping the other flags.
void AddLayeredStyle(HWND window);

// Lock and unlock of the display windows: with clickThrough the window keeps its extended style and gains
// layered + transparent-to-the-mouse; without it the style becomes layered alone. Then topmost or not,
// without moving or resizing.
void SetLayeredTop(HWND window, bool topmost, bool clickThrough);

void MakeTopmost(HWND window, bool topmost = true);

// What every window of the display answers to a click that would activate it (it never takes the focus
// from the shop's programs) and to WM_PAINT (its image is the one handed to the window system, so
// nothing is painted).
LRESULT LayeredDisplayMessage(HWND window, UINT message);

// The refresh rate the system reports for the screen, in hertz; 0 when it reports none.
int ScreenRefreshHz();

} // namespace plumwick::win
