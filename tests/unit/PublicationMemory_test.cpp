#include "content/PublicationMemory.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

const std::u16string kRoot = u"C:\\shop\\Text\\";

std::vector<ContentEntry> Listed() {
    return {{u"a.txt", kRoot},
            {u"b.txt", kRoot},
            {u"a.txt", kRoot + u"sub\\"},
            {u"c.TXT", kRoot + u"sub\\deep\\"}};
}

using Files = std::vector<std::u16string>;

} // namespace

TEST(PublicationMemory, FileListAndOptionSurviveTheirStoredForm) {
    for (const Files& files : {Files{}, Files{u"a.txt"}, Files{u"a.txt", u"sub\\a.txt", u"公告 1.txt"}}) {
        EXPECT_EQ(DecodeFileList(EncodeFileList(files)), files);
    }
    EXPECT_EQ(EncodeFileList({u"a.txt", u"sub\\b.txt"}), u"a.txt|sub\\b.txt");
    // Whatever else is found there (edited by hand, say) gives no empty names.
    EXPECT_EQ(DecodeFileList(u"|a.txt||b.txt|"), (Files{u"a.txt", u"b.txt"}));
    for (SplitOption option : {SplitOption::SingleBreak, SplitOption::DoubleBreak}) {
        EXPECT_EQ(DecodeSplitOption(EncodeSplitOption(option)), option);
    }
    EXPECT_EQ(DecodeSplitOption(u""), SplitOption::SingleBreak);
    EXPECT_EQ(DecodeSplitOption(u"yes"), SplitOption::SingleBreak);
}

TEST(PublicationMemory, RemembersTickedFilesRelativeToTheContentFolder) {
    RememberedPublication remembered =
        RememberPublication(kRoot, Listed(), {false, true, true, true}, SplitOption::DoubleBreak);
    EXPECT_EQ(remembered.files, (Files{u"b.txt", u"sub\\a.txt", u"sub\\deep\\c.TXT"}));
    EXPECT_EQ(remembered.option, SplitOption::DoubleBreak);
    // A file outside the folder has no relative path and is not remembered.
    EXPECT_EQ(RelativeToContentFolder(kRoot, {u"x.txt", u"D:\\other\\"}), std::nullopt);
}

TEST(PublicationMemory, RestoresTicksIgnoringLetterCaseAndSkippingGoneFiles) {
    std::vector<bool> ticks =
        RestoreTicks(kRoot, Listed(), {u"SUB\\A.txt", u"gone.txt", u"sub\\deep\\c.txt"});
    EXPECT_EQ(ticks, (std::vector<bool>{false, false, true, true}));
}

TEST(PublicationMemory, StartPublishesAgainOnlyWithAFileLeftAndAValidInterval) {
    RememberedPublication remembered{{u"b.txt", u"gone.txt"}, SplitOption::DoubleBreak};

    RestorePlan plan = PlanRestore(kRoot, Listed(), remembered, u"15");
    EXPECT_TRUE(plan.publish);
    EXPECT_EQ(plan.ticks, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(plan.option, SplitOption::DoubleBreak);
    EXPECT_EQ(plan.intervalSeconds, 15);

    EXPECT_FALSE(PlanRestore(kRoot, Listed(), RememberedPublication{{u"gone.txt"}}, u"15").publish);
    EXPECT_FALSE(PlanRestore(kRoot, {}, remembered, u"15").publish);
    EXPECT_FALSE(PlanRestore(kRoot, Listed(), std::nullopt, u"15").publish);

    // A stored interval the publish would refuse: the content manager shows, with the ticks back.
    RestorePlan badInterval = PlanRestore(kRoot, Listed(), remembered, u"");
    EXPECT_FALSE(badInterval.publish);
    EXPECT_EQ(badInterval.ticks, (std::vector<bool>{false, true, false, false}));
}

TEST(PlanRestore, ARestoreThatNeverFinishedIsNotTriedAgainButKeepsItsTicks) {
    RememberedPublication remembered{{u"b.txt"}, SplitOption::DoubleBreak};
    RestorePlan plan =
        SkipUnfinishedRestore(PlanRestore(kRoot, Listed(), remembered, u"15"), kRestoreUnderway);
    EXPECT_FALSE(plan.publish);
    EXPECT_TRUE(plan.skipped);
    EXPECT_EQ(plan.ticks, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(plan.option, SplitOption::DoubleBreak);

    // Finished, or never marked (a build before the mark): restored as before.
    for (std::u16string_view mark : {kRestoreFinished, std::u16string_view(), std::u16string_view(u"x")}) {
        plan = SkipUnfinishedRestore(PlanRestore(kRoot, Listed(), remembered, u"15"), mark);
        EXPECT_TRUE(plan.publish);
        EXPECT_FALSE(plan.skipped);
    }
    // Nothing to restore: nothing was skipped, and the operator is told nothing.
    plan = SkipUnfinishedRestore(PlanRestore(kRoot, Listed(), std::nullopt, u"15"), kRestoreUnderway);
    EXPECT_FALSE(plan.publish);
    EXPECT_FALSE(plan.skipped);
}
