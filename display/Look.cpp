#include "display/Look.h"

#include "display/ColorSchemes.h"

#include <algorithm>

namespace plumwick {

void Look::SetFont(std::u16string name, float size) {
    fontName_ = std::move(name);
    fontSize_ = size;
    Notify(kLookFont);
}

void Look::ApplyScheme(int scheme) {
    std::optional<MainColors> colors = MainColorsFor(scheme);
    if (!colors) {
        return;
    }
    colorScheme_ = static_cast<std::int16_t>(scheme);
    mainColor1_ = colors->color1;
    mainColor2_ = colors->color2;
    Notify(kLookScheme | kLookMainColors);
}

void Look::SetSchemeNumber(std::int16_t scheme) {
    if (scheme == colorScheme_) {
        return;
    }
    colorScheme_ = scheme;
    Notify(kLookScheme);
}

void Look::AddObserver(LookObserver& observer) {
    if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end()) {
        observers_.push_back(&observer);
    }
}

void Look::RemoveObserver(LookObserver& observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), &observer), observers_.end());
}

void Look::Notify(unsigned aspects) {
    // A copy: an observer may add or remove observers while it is told.
    std::vector<LookObserver*> observers = observers_;
    for (LookObserver* observer : observers) {
        if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) {
            observer->LookChanged(aspects);
        }
    }
}

} // namespace plumwick
