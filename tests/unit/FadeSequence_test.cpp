#include "about/FadeSequence.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plumwick;

namespace {

// Ticks the fade-in until it stops and returns the opacities it applied.
std::vector<int> RunFadeIn(FadeSequence& fade) {
    std::vector<int> applied;
    for (int guard = 0; fade.FadeInEnabled() && guard < 1000; ++guard) {
        auto effects = fade.FadeInTick();
        EXPECT_FALSE(effects.unload);
        EXPECT_FALSE(effects.openHomePage);
        if (effects.alpha) {
            applied.push_back(*effects.alpha);
        }
    }
    return applied;
}

// Ticks the fade-out until the window unloads; returns the opacities and counts the ticks.
std::vector<int> RunFadeOut(FadeSequence& fade, int& ticks) {
    std::vector<int> applied;
    ticks = 0;
    while (fade.FadeOutEnabled() && ticks < 1000) {
        ++ticks;
        auto effects = fade.FadeOutTick();
        if (effects.alpha) {
            applied.push_back(*effects.alpha);
        }
        EXPECT_EQ(effects.unload, !fade.FadeOutEnabled());
    }
    return applied;
}

std::vector<int> Steps(int from, int to, int step) {
    std::vector<int> values;
    for (int v = from; step > 0 ? v <= to : v >= to; v += step) {
        values.push_back(v);
    }
    return values;
}

} // namespace

TEST(FadeSequence, UndisturbedRunFadesInHoldsAndFadesOut) {
    FadeSequence fade;
    EXPECT_TRUE(fade.FadeInEnabled());
    auto load = fade.Load();
    EXPECT_EQ(load.alpha, 0);
    EXPECT_EQ(load.topmost, true);
    EXPECT_EQ(fade.AlphaLimit(), 255);

    std::vector<int> up = RunFadeIn(fade);
    std::vector<int> expectedUp = Steps(5, 255, 5);
    ASSERT_EQ(expectedUp.size(), 51u);
    expectedUp.push_back(255); // the 52nd tick ends the fade-in at full opacity
    EXPECT_EQ(up, expectedUp);
    EXPECT_TRUE(fade.HoldEnabled());
    EXPECT_FALSE(fade.FadeOutEnabled());

    auto hold = fade.HoldTick();
    EXPECT_EQ(hold.alpha, 255);
    EXPECT_FALSE(fade.HoldEnabled());
    EXPECT_EQ(fade.AlphaLimit(), 0);

    int ticks = 0;
    std::vector<int> down = RunFadeOut(fade, ticks);
    std::vector<int> expectedDown = Steps(250, 0, -5);
    ASSERT_EQ(expectedDown.size(), 51u);
    expectedDown.push_back(0);
    EXPECT_EQ(down, expectedDown);
    EXPECT_EQ(ticks, 52);
    EXPECT_TRUE(fade.Unloaded());
    EXPECT_FALSE(fade.FadeInEnabled() || fade.HoldEnabled() || fade.FadeOutEnabled());
}

TEST(FadeSequence, PictureClickOpensTheHomePageWithoutDisturbingTheCycle) {
    FadeSequence fade;
    fade.Load();
    for (int i = 0; i < 10; ++i) {
        fade.FadeInTick();
    }
    auto click = fade.PictureClick();
    EXPECT_TRUE(click.openHomePage);
    EXPECT_FALSE(click.alpha || click.topmost || click.unload);
    EXPECT_EQ(fade.Alpha(), 50);

    RunFadeIn(fade);
    EXPECT_TRUE(fade.PictureClick().openHomePage); // during the hold
    EXPECT_TRUE(fade.HoldEnabled());
    fade.HoldTick();
    int ticks = 0;
    RunFadeOut(fade, ticks);
    EXPECT_EQ(ticks, 52);
    EXPECT_TRUE(fade.Unloaded());
    EXPECT_FALSE(fade.PictureClick().openHomePage);
}

TEST(FadeSequence, CloseSpotDuringFadeInLeavesTopmostAndStillCloses) {
    FadeSequence fade;
    fade.Load();
    for (int i = 0; i < 20; ++i) {
        fade.FadeInTick();
    }
    auto click = fade.CloseSpotClick();
    EXPECT_EQ(click.alpha, 255);
    EXPECT_EQ(click.topmost, false);
    EXPECT_TRUE(click.openHomePage);
    EXPECT_TRUE(fade.FadeOutEnabled());
    EXPECT_TRUE(fade.FadeInEnabled()); // the running fade-in is not stopped

    EXPECT_EQ(fade.FadeOutTick().alpha, 250);
    EXPECT_EQ(fade.FadeOutTick().alpha, 245);
    // The fade-in's next tick passes the new limit: full opacity again and the hold armed.
    auto fadeIn = fade.FadeInTick();
    EXPECT_EQ(fadeIn.alpha, 255);
    EXPECT_FALSE(fade.FadeInEnabled());
    EXPECT_TRUE(fade.HoldEnabled());
    EXPECT_EQ(fade.Alpha(), 250);
    // The fade-out goes on from its own count.
    EXPECT_EQ(fade.FadeOutTick().alpha, 245);

    int ticks = 0;
    RunFadeOut(fade, ticks);
    EXPECT_TRUE(fade.Unloaded());
    EXPECT_FALSE(fade.HoldEnabled()); // unloading stops the armed hold
    EXPECT_FALSE(fade.HoldTick().alpha.has_value());
}

TEST(FadeSequence, HoldTickDuringAFadeOutRestartsItFromFullOpacity) {
    FadeSequence fade;
    fade.Load();
    RunFadeIn(fade);
    fade.CloseSpotClick();
    for (int i = 0; i < 30; ++i) {
        fade.FadeOutTick();
    }
    EXPECT_EQ(fade.Alpha(), 105);
    ASSERT_TRUE(fade.HoldEnabled());
    EXPECT_EQ(fade.HoldTick().alpha, 255);
    EXPECT_EQ(fade.Alpha(), 255);
    int ticks = 0;
    RunFadeOut(fade, ticks);
    EXPECT_EQ(ticks, 52);
    EXPECT_TRUE(fade.Unloaded());
}

TEST(FadeSequence, RepeatedCloseSpotClicksRestartTheFadeOut) {
    FadeSequence fade;
    fade.Load();
    RunFadeIn(fade);
    fade.HoldTick();
    for (int i = 0; i < 40; ++i) {
        fade.FadeOutTick();
    }
    for (int click = 0; click < 3; ++click) {
        auto effects = fade.CloseSpotClick();
        EXPECT_EQ(effects.alpha, 255);
        EXPECT_TRUE(effects.openHomePage);
        EXPECT_EQ(fade.Alpha(), 255);
        fade.FadeOutTick();
    }
    int ticks = 0;
    RunFadeOut(fade, ticks);
    EXPECT_EQ(ticks, 51);
    EXPECT_TRUE(fade.Unloaded());
    auto afterClose = fade.CloseSpotClick();
    EXPECT_FALSE(afterClose.alpha || afterClose.topmost || afterClose.openHomePage);
}

TEST(FadeSequence, CloseSpotBeforeTheFirstFadeInTickNeverAppliesAnOpacityOutOfRange) {
    FadeSequence fade;
    fade.Load();
    fade.CloseSpotClick();
    EXPECT_EQ(fade.FadeInTick().alpha, 255);
    EXPECT_EQ(fade.Alpha(), 260);
    for (int guard = 0; !fade.Unloaded() && guard < 1000; ++guard) {
        auto effects = fade.FadeOutTick();
        if (effects.alpha) {
            EXPECT_GE(*effects.alpha, 0);
            EXPECT_LE(*effects.alpha, 255);
        }
    }
    EXPECT_TRUE(fade.Unloaded());
}

TEST(FadeSequence, TicksOfStoppedTimersDoNothing) {
    FadeSequence fade;
    fade.Load();
    EXPECT_FALSE(fade.HoldTick().alpha.has_value());
    EXPECT_FALSE(fade.FadeOutTick().alpha.has_value());
    EXPECT_EQ(fade.Alpha(), 0);
}

TEST(FadeSequence, CloseSpotIsTheLabelNearTheTopRightCorner) {
    EXPECT_TRUE(IsInCloseSpot(472, 0));
    EXPECT_TRUE(IsInCloseSpot(496, 19));
    EXPECT_FALSE(IsInCloseSpot(471, 5));
    EXPECT_FALSE(IsInCloseSpot(497, 5));
    EXPECT_FALSE(IsInCloseSpot(480, 20));
    EXPECT_FALSE(IsInCloseSpot(480, -1));
    EXPECT_LT(496, kAboutWidth);
}
