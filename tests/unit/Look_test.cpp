#include "display/Look.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plumwick;

namespace {

struct Recorder : LookObserver {
    void LookChanged(unsigned aspects) override { told.push_back(aspects); }
    std::vector<unsigned> told;
};

} // namespace

TEST(Look, ApplySchemeSetsAllThreeOrNothing) {
    Look look;
    Recorder recorder;
    look.AddObserver(recorder);
    look.ApplyScheme(2);
    EXPECT_EQ(look.ColorScheme(), 2);
    EXPECT_EQ(look.MainColor1(), 0xFF87F321u);
    EXPECT_EQ(look.MainColor2(), 0xFF0E6700u);
    for (int scheme : {0, 6, -2}) {
        look.ApplyScheme(scheme);
        EXPECT_EQ(look.ColorScheme(), 2);
        EXPECT_EQ(look.MainColor1(), 0xFF87F321u);
    }
    // Only the valid choice was told, with both the number and the colours.
    EXPECT_EQ(recorder.told, (std::vector<unsigned>{kLookScheme | kLookMainColors}));
}

TEST(Look, EveryObserverHearsOfEachChangeWithWhatItTouched) {
    Look look;
    Recorder main, karaoke;
    look.AddObserver(main);
    look.AddObserver(karaoke);
    look.AddObserver(main); // twice is once
    look.SetFont(u"SimSun", 48.0f);
    look.ApplyScheme(3);
    look.ApplyScheme(3); // choosing the same scheme again redraws again, as a click on it does
    look.SetSchemeNumber(3);
    look.SetSchemeNumber(1);
    std::vector<unsigned> expected{kLookFont, kLookScheme | kLookMainColors, kLookScheme | kLookMainColors,
                                   kLookScheme};
    EXPECT_EQ(main.told, expected);
    EXPECT_EQ(karaoke.told, expected);
    EXPECT_EQ(look.FontName(), u"SimSun");
    EXPECT_EQ(look.FontSize(), 48.0f);
    EXPECT_EQ(look.ColorScheme(), 1);
    EXPECT_EQ(look.MainColor1(), 0xFFFECEFCu) << "the number alone leaves scheme 3's colours";
}

TEST(Look, AnObserverRemovedWhileBeingToldIsNotToldAgain) {
    Look look;
    Recorder later;
    struct Remover : LookObserver {
        Look* look;
        LookObserver* other;
        int told = 0;
        void LookChanged(unsigned) override {
            ++told;
            look->RemoveObserver(*other);
            look->RemoveObserver(*this);
        }
    } remover;
    remover.look = &look;
    remover.other = &later;
    look.AddObserver(remover);
    look.AddObserver(later);
    look.SetFont(u"a", 10.0f);
    look.SetFont(u"b", 11.0f);
    EXPECT_EQ(remover.told, 1);
    EXPECT_TRUE(later.told.empty());
}
