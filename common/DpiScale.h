#pragma once
// Every size and position the program is designed with is a 96-DPI value: pixels, or twips at 15 per
// pixel. On a monitor of another DPI it is drawn DPI/96 times as large, at the monitor's own resolution,
// so the display covers the same share of the screen as the system's own scaling gives, but sharp. This
// is the one conversion between those design values and the device's pixels.
#include <cstdint>

namespace plumwick {

class DpiScale {
  public:
    static constexpr unsigned kBaseDpi = 96;

    constexpr DpiScale() = default;
    // A DPI of 0 (a failed query) counts as the base DPI.
    constexpr explicit DpiScale(unsigned dpi) : dpi_(dpi > 0 ? dpi : kBaseDpi) {}

    unsigned Dpi() const { return dpi_; }
    double Factor() const { return static_cast<double>(dpi_) / kBaseDpi; }

    // A design length in device pixels, unrounded (em sizes, drawing offsets).
    float Scale(float designPixels) const;
    // The same in whole device pixels (halves to even), for sizes and positions on the screen.
    int Pixels(double designPixels) const;
    // Design twips to whole device pixels, and device pixels back to design twips (halves to even).
    int TwipsToPixels(double twips) const;
    int PixelsToTwips(int devicePixels) const;
    // The design pixel a device pixel lies in (a pointer position over something laid out in design pixels).
    int ToDesign(int devicePixels) const;

    bool operator==(const DpiScale&) const = default;

  private:
    unsigned dpi_ = kBaseDpi;
};

// Height in design twips of the strip of the screen below the work area (device pixels in, as the system
// reports them); 0 when the taskbar is at another edge or hidden.
std::int16_t StripBelowWorkAreaTwips(int screenHeightPx, int workAreaBottomPx, const DpiScale& scale);

} // namespace plumwick
