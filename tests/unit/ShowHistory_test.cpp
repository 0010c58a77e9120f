#include "rotation/ShowHistory.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

ShowHistory AfterTicks(std::initializer_list<long long> picks) {
    ShowHistory history;
    for (long long pick : picks) {
        history.Record(pick);
    }
    return history;
}

void ExpectStep(const ShowHistory::WalkResult& step, long long line) {
    EXPECT_FALSE(step.atBoundary);
    EXPECT_EQ(step.lineToDraw, line);
    EXPECT_EQ(step.newInfoIndex, line);
}

void ExpectBoundary(const ShowHistory::WalkResult& step) {
    EXPECT_TRUE(step.atBoundary);
    EXPECT_FALSE(step.lineToDraw.has_value());
    EXPECT_FALSE(step.newInfoIndex.has_value());
}

} // namespace

TEST(ShowHistory, RecordsEachPickFollowedByAComma) {
    ShowHistory history = AfterTicks({3, 7, 1});
    EXPECT_EQ(history.Text(), u"3,7,1,");
    EXPECT_EQ(history.Count(), 3u);
    EXPECT_EQ(history.Pos(), 2u);
}

TEST(ShowHistory, WalksBackToTheFirstAndForwardToTheLast) {
    ShowHistory history = AfterTicks({3, 7, 1});
    ExpectStep(history.Previous(), 7);
    ExpectStep(history.Previous(), 3);
    ExpectBoundary(history.Previous());
    EXPECT_EQ(history.Pos(), 0u);

    ExpectStep(history.Next(), 7);
    ExpectStep(history.Next(), 1);
    ExpectBoundary(history.Next());
    EXPECT_EQ(history.Pos(), 2u);
    EXPECT_EQ(history.IndexOnNextBoundaryOk(), 1);
    EXPECT_EQ(history.Text(), u"3,7,1,"); // walking never adds to it
}

TEST(ShowHistory, ATickAfterWalkingBackMovesToTheNewest) {
    ShowHistory history = AfterTicks({3, 7, 1});
    history.Previous();
    history.Previous();
    history.Record(4);
    EXPECT_EQ(history.Pos(), 3u);
    ExpectBoundary(history.Next());
    EXPECT_EQ(history.IndexOnNextBoundaryOk(), 4);
    ExpectStep(history.Previous(), 1);
}

TEST(ShowHistory, BeforeTheFirstTickBothButtonsHitTheBoundary) {
    ShowHistory history;
    ExpectBoundary(history.Previous());
    ExpectBoundary(history.Next());
    EXPECT_FALSE(history.IndexOnNextBoundaryOk().has_value());
    EXPECT_EQ(history.Pos(), 0u);
    EXPECT_EQ(history.Text(), u"");
}

TEST(ShowHistory, OneEntryIsBothFirstAndLast) {
    ShowHistory history = AfterTicks({5});
    ExpectBoundary(history.Previous());
    ExpectBoundary(history.Next());
    EXPECT_EQ(history.IndexOnNextBoundaryOk(), 5);
}

TEST(ShowHistory, IndicesBeyondAShorterListStillMoveThePosition) {
    // Ticks over a long list, then a republished list of two lines: the window draws nothing for 9 but
    // the walk goes on past it.
    ShowHistory history = AfterTicks({9, 1, 12});
    ExpectStep(history.Previous(), 1);
    ExpectStep(history.Previous(), 9);
    EXPECT_EQ(history.Pos(), 0u);
    ExpectStep(history.Next(), 1);
}

TEST(ShowHistory, RestoredTextKeepsEntriesThatAreNoNumber) {
    ShowHistory history(u"3,x, 2.7 ,,8,");
    EXPECT_EQ(ShowHistory(u"-1.5,").EntryAt(0), -2);
    EXPECT_EQ(history.Count(), 5u);
    EXPECT_EQ(history.Pos(), 4u);
    EXPECT_EQ(history.EntryAt(2), 2); // rounded down, blanks allowed
    auto step = history.Previous();   // onto the empty field: both steps that need it are skipped
    EXPECT_FALSE(step.atBoundary);
    EXPECT_FALSE(step.lineToDraw.has_value());
    EXPECT_FALSE(step.newInfoIndex.has_value());
    EXPECT_EQ(history.Pos(), 3u);
    ExpectStep(history.Previous(), 2);
    history.Previous();
    EXPECT_EQ(history.Pos(), 1u);
    EXPECT_FALSE(history.IndexOnNextBoundaryOk().has_value());
}

TEST(ShowHistory, RestoredTextWithoutFinalCommaHasALastEntryThatARecordExtends) {
    ShowHistory history(u"3,7");
    EXPECT_EQ(history.Count(), 2u);
    history.Record(1);
    EXPECT_EQ(history.Text(), u"3,71,");
    EXPECT_EQ(history.Count(), 2u);
    EXPECT_EQ(history.EntryAt(1), 71);
}

TEST(ShowHistory, AVeryLongRunDropsTheOldestEntries) {
    ShowHistory history;
    const long long ticks = ShowHistory::kMaxEntries + 5;
    for (long long i = 0; i < ticks; ++i) {
        history.Record(i);
    }
    const std::size_t kept = ShowHistory::kMaxEntries - ShowHistory::kTrimEntries + 5;
    ASSERT_EQ(history.Count(), kept);
    EXPECT_EQ(history.EntryAt(0), ticks - static_cast<long long>(kept));
    EXPECT_EQ(history.Pos(), kept - 1);
    // The text stays in step with the entries.
    EXPECT_EQ(history.Text().substr(0, 6), u"10000,");
    EXPECT_EQ(ShowHistory(history.Text()).Count(), kept);
    ExpectStep(history.Previous(), ticks - 2);
}
