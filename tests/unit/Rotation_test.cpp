#include "rotation/Rotation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

using namespace plumwick;

namespace {
const std::vector<std::u16string> kMixed{u"", u"A", u"", u"B", u"C", u""};
}

TEST(PickLine, EveryNonEmptyLineIsReachableAndEmptyOnesNever) {
    std::set<std::size_t> seen;
    for (int i = 0; i < 1000; ++i) {
        auto pick = PickLine(kMixed, i / 1000.0);
        ASSERT_TRUE(pick.has_value());
        EXPECT_FALSE(kMixed[*pick].empty()) << *pick;
        seen.insert(*pick);
    }
    EXPECT_EQ(seen, (std::set<std::size_t>{1, 3, 4}));
}

TEST(PickLine, MapsRToTheKthNonEmptyLine) {
    struct Case {
        double r;
        std::size_t expected;
    };
    for (auto [r, expected] : {Case{0.0, 1}, Case{0.3333, 1}, Case{1.0 / 3, 3}, Case{0.6666, 3},
                               Case{2.0 / 3, 4}, Case{std::nextafter(1.0, 0.0), 4}}) {
        EXPECT_EQ(PickLine(kMixed, r), expected) << r;
    }
}

TEST(PickLine, OutOfRangeRStillPicksARealLine) {
    EXPECT_EQ(PickLine(kMixed, 1.0), 4u);
    EXPECT_EQ(PickLine(kMixed, 7.5), 4u);
    EXPECT_EQ(PickLine(kMixed, -0.2), 1u);
    EXPECT_EQ(PickLine(kMixed, std::nan("")), 1u);
}

TEST(PickLine, ShortListsIncludingTheirLastLines) {
    EXPECT_EQ(PickLine({u"only"}, 0.0), 0u);
    EXPECT_EQ(PickLine({u"only"}, 0.99), 0u);
    EXPECT_EQ(PickLine({u"a", u"b"}, 0.75), 1u);
    EXPECT_EQ(PickLine({u"a", u"b", u"c"}, 0.9), 2u);
}

TEST(PickLine, NothingToPickInEmptyOrAllEmptyLists) {
    EXPECT_FALSE(PickLine({}, 0.5).has_value());
    EXPECT_FALSE(PickLine({u""}, 0.0).has_value());
    EXPECT_FALSE(PickLine({u"", u"", u""}, 0.9).has_value());
}

TEST(PickLine, ABlankLineIsALineNotAnEmptyOne) {
    EXPECT_EQ(PickLine({u"", u"   "}, 0.5), 1u);
}

TEST(PickLine, RoughlyUniformOverARandomSequence) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < 10; ++i) {
        lines.push_back(i % 3 == 0 ? u"" : u"x"); // 6 non-empty among 10
    }
    RandomSource random(12345);
    std::map<std::size_t, int> counts;
    const int draws = 60000;
    for (int i = 0; i < draws; ++i) {
        ++counts[*PickLine(lines, random.Next())];
    }
    ASSERT_EQ(counts.size(), 6u);
    double expected = draws / 6.0;
    double chiSquare = 0;
    for (auto [line, count] : counts) {
        EXPECT_FALSE(lines[line].empty());
        chiSquare += (count - expected) * (count - expected) / expected;
    }
    // 5 degrees of freedom: above 20.5 has a chance of about 0.1 %.
    EXPECT_LT(chiSquare, 20.5);
}

TEST(RandomSource, StaysInTheHalfOpenUnitInterval) {
    RandomSource random(1);
    for (int i = 0; i < 100000; ++i) {
        double r = random.Next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}
