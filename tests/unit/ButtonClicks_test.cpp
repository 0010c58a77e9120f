#include "toolbar/ButtonClicks.h"

#include <gtest/gtest.h>

using namespace plumwick;

TEST(ButtonClicks, ADoubleClickOnAToggleCountsOnceSoItDoesNotUndoItself) {
    EXPECT_FALSE(SecondPressClicks(ToolbarButton::CmdLrc, ToolbarButton::CmdLrc));
    EXPECT_FALSE(SecondPressClicks(ToolbarButton::CmdLock, ToolbarButton::CmdLock));
    // The other buttons would only repeat themselves (a second font dialog, a second save).
    EXPECT_FALSE(SecondPressClicks(ToolbarButton::CmdSet, ToolbarButton::CmdSet));
    EXPECT_FALSE(SecondPressClicks(ToolbarButton::CmdRed, ToolbarButton::CmdRed));
}

TEST(ButtonClicks, PreviousAndNextStepOncePerPress) {
    EXPECT_TRUE(SecondPressClicks(ToolbarButton::Delay1, ToolbarButton::Delay1));
    EXPECT_TRUE(SecondPressClicks(ToolbarButton::Delay2, ToolbarButton::Delay2));
    EXPECT_TRUE(SecondPressClicks(std::nullopt, ToolbarButton::Delay2));
}

TEST(ButtonClicks, ASecondPressOnAnotherButtonOrAfterNoClickIsAClickOfItsOwn) {
    // Lock and the content manager's button are neighbours: a quick press on each toggles both.
    EXPECT_TRUE(SecondPressClicks(ToolbarButton::CmdLrc, ToolbarButton::CmdLock));
    EXPECT_TRUE(SecondPressClicks(ToolbarButton::Delay1, ToolbarButton::CmdLrc));
    // The first press was on the bare strip or was released off its button.
    EXPECT_TRUE(SecondPressClicks(std::nullopt, ToolbarButton::CmdLock));
}
