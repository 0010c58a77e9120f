#include "about/FadeSequence.h"

#include "common/Twips.h"

namespace plumwick {

bool IsInCloseSpot(int x, int y) {
    // Left 7080, top 0, 375 x 300 twips.
    constexpr int kLeft = 7080 / kTwipsPerPixel;
    constexpr int kWidth = 375 / kTwipsPerPixel;
    constexpr int kHeight = 300 / kTwipsPerPixel;
    return x >= kLeft && x < kLeft + kWidth && y >= 0 && y < kHeight;
}

std::optional<int> FadeSequence::Opacity(int alpha) {
    if (alpha < 0 || alpha > 255) {
        return std::nullopt;
    }
    return alpha;
}

FadeSequence::Effects FadeSequence::Load() {
    Effects effects;
    if (unloaded_) {
        return effects;
    }
    effects.topmost = true;
    alpha_ = 0;
    alphaLimit_ = 255;
    effects.alpha = Opacity(alpha_);
    return effects;
}

FadeSequence::Effects FadeSequence::FadeInTick() {
    Effects effects;
    if (unloaded_ || !fadeInEnabled_) {
        return effects;
    }
    alpha_ += kFadeStep;
    if (alpha_ <= alphaLimit_) {
        effects.alpha = Opacity(alpha_);
    } else {
        // Also reached when the close spot has started the fade-out meanwhile: the opacity jumps back to
        // full and the hold is armed, while the fade-out goes on from its own count.
        fadeInEnabled_ = false;
        effects.alpha = 255;
        holdEnabled_ = true;
    }
    return effects;
}

FadeSequence::Effects FadeSequence::HoldTick() {
    Effects effects;
    if (unloaded_ || !holdEnabled_) {
        return effects;
    }
    holdEnabled_ = false;
    alphaLimit_ = 0;
    alpha_ = 255;
    effects.alpha = 255;
    fadeOutEnabled_ = true;
    return effects;
}

FadeSequence::Effects FadeSequence::FadeOutTick() {
    Effects effects;
    if (unloaded_ || !fadeOutEnabled_) {
        return effects;
    }
    alpha_ -= kFadeStep;
    if (alpha_ >= alphaLimit_) {
        effects.alpha = Opacity(alpha_);
    } else {
        fadeOutEnabled_ = false;
        effects.alpha = 0;
        // Unloading stops every timer of the window.
        fadeInEnabled_ = false;
        holdEnabled_ = false;
        unloaded_ = true;
        effects.unload = true;
    }
    return effects;
}

FadeSequence::Effects FadeSequence::CloseSpotClick() {
    Effects effects;
    if (unloaded_) {
        return effects;
    }
    alpha_ = 255;
    alphaLimit_ = 0;
    effects.alpha = 255;
    fadeOutEnabled_ = true;
    effects.topmost = false;
    effects.openHomePage = true;
    return effects;
}

FadeSequence::Effects FadeSequence::PictureClick() {
    Effects effects;
    effects.openHomePage = !unloaded_;
    return effects;
}

} // namespace plumwick
