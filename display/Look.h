#pragma once
// The display's look: font, size, colour scheme and the main line's colours. One object for the whole
// display; the windows that draw with it observe it and redraw themselves when it changes, so whoever
// changes the look never has to know who shows it.
#include "display/Argb.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plumwick {

// What a change touched; an observer redraws only for what it draws with.
enum LookAspect : unsigned {
    kLookFont = 1u << 0,       // name or size
    kLookMainColors = 1u << 1, // the main line's gradient
    kLookScheme = 1u << 2,     // the scheme number, which the karaoke highlight's colours follow
};

class LookObserver {
  public:
    virtual ~LookObserver() = default;
    virtual void LookChanged(unsigned aspects) = 0;
};

class Look {
  public:
    const std::u16string& FontName() const { return fontName_; }
    float FontSize() const { return fontSize_; }
    std::int16_t ColorScheme() const { return colorScheme_; } // 0 until one is chosen, else 1..5
    Argb MainColor1() const { return mainColor1_; }
    Argb MainColor2() const { return mainColor2_; }

    void SetFont(std::u16string name, float size);
    // Scheme 1..5 sets the number and the main colours; any other number changes nothing and tells no one.
    void ApplyScheme(int scheme);
    // The number alone (saving turns "none chosen" into 1); the main colours stay as they are.
    void SetSchemeNumber(std::int16_t scheme);

    // Observers are told in the order they were added; they must outlive the look or be removed.
    void AddObserver(LookObserver& observer);
    void RemoveObserver(LookObserver& observer);

  private:
    void Notify(unsigned aspects);

    std::u16string fontName_;
    float fontSize_ = 36.0f;
    std::int16_t colorScheme_ = 0;
    Argb mainColor1_ = 0;
    Argb mainColor2_ = 0;
    std::vector<LookObserver*> observers_;
};

} // namespace plumwick
