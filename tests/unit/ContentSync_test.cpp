#include "content/ContentSync.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

using Verdict = ContentSync::Verdict;
using State = FileLook::State;

FolderLook Files(std::vector<FileLook> files) {
    return {true, std::move(files)};
}

const FolderLook kBuilt = Files({{State::Present, 10, 100}, {State::Present, 20, 100}});

// Drives the machine as the window code does: at every due time a look, and a rebuild when it says so.
struct Driver {
    ContentSync sync{0, kBuilt};
    std::uint64_t now = 0;
    std::vector<Verdict> verdicts;

    // Advances to `until`, looking whenever a look is due (`look` gives what the files look like then).
    // The time of the rebuild when one is asked for, else 0.
    template <typename LookAt> std::uint64_t RunUntil(std::uint64_t until, LookAt look) {
        while (true) {
            std::uint64_t next = sync.NextLookMs();
            if (next > until) {
                now = until;
                return 0;
            }
            now = std::max(now, next);
            EXPECT_TRUE(sync.LookDue(now));
            EXPECT_FALSE(sync.LookDue(now - 1) && now > 0 && next == now);
            FolderLook seen = look(now);
            Verdict verdict = sync.Looked(now, seen);
            verdicts.push_back(verdict);
            if (verdict == Verdict::Rebuild) {
                return now;
            }
        }
    }
};

} // namespace

TEST(ContentSync, ABurstOfChangesGivesOneRebuildWithinFiveSecondsOfTheLast) {
    Driver d;
    const FolderLook written = Files({{State::Present, 12, 200}, {State::Present, 20, 100}});
    // A sync engine writes for 1.5 s and notifies at every write.
    for (std::uint64_t t = 10000; t <= 11500; t += 500) {
        d.sync.Changed(t);
        EXPECT_FALSE(d.sync.LookDue(t + 1999));
    }
    EXPECT_EQ(d.sync.NextLookMs(), 13500u);
    std::uint64_t rebuilt = d.RunUntil(20000, [&](std::uint64_t) { return written; });
    EXPECT_EQ(d.verdicts, (std::vector<Verdict>{Verdict::Wait, Verdict::Rebuild}));
    EXPECT_GT(rebuilt, 11500u);
    EXPECT_LE(rebuilt - 11500, 5000u);
    // Nothing more to look at until a change or the rescan.
    EXPECT_FALSE(d.sync.LookDue(rebuilt + 1000));
    d.sync.Rebuilt(rebuilt, written);
    EXPECT_EQ(d.sync.NextLookMs(), rebuilt + 60000);
    d.verdicts.clear();
    EXPECT_EQ(d.RunUntil(rebuilt + 60000, [&](std::uint64_t) { return written; }), 0u);
    EXPECT_EQ(d.verdicts, (std::vector<Verdict>{Verdict::Unchanged}));
}

TEST(ContentSync, WithoutNotificationsTheRescanFindsTheChangeAndWaitsWhileTheSizeMoves) {
    Driver d;
    // A share that never notifies; one file grows over three looks, then holds still.
    auto look = [](std::uint64_t t) {
        std::uint64_t size = t < 60000 ? 10 : t < 64000 ? 10 + (t - 59000) / 1000 : 15;
        return Files({{State::Present, size, 300}, {State::Present, 20, 100}});
    };
    EXPECT_EQ(d.RunUntil(59999, look), 0u);
    EXPECT_TRUE(d.verdicts.empty());
    std::uint64_t rebuilt = d.RunUntil(120000, look);
    EXPECT_EQ(rebuilt, 66000u); // sizes 11 (60 s), 13 (62 s), 15 (64 s), 15 (66 s)
    EXPECT_EQ(d.verdicts,
              (std::vector<Verdict>{Verdict::Wait, Verdict::Wait, Verdict::Wait, Verdict::Rebuild}));
}

TEST(ContentSync, AFileHeldOpenByItsWriterIsNeverRead) {
    Driver d;
    const FolderLook busy = Files({{State::Busy, 0, 0}, {State::Present, 20, 100}});
    const FolderLook done = Files({{State::Present, 40, 500}, {State::Present, 20, 100}});
    d.sync.Changed(1000);
    // The writer holds the file for 12 s: every look until then waits, however alike they are; the look
    // at 13 s sees it free for the first time.
    EXPECT_EQ(d.RunUntil(13000, [&](std::uint64_t t) { return t < 13000 ? busy : done; }), 0u);
    EXPECT_EQ(d.verdicts, (std::vector<Verdict>(6, Verdict::Wait)));
    std::uint64_t rebuilt = d.RunUntil(30000, [&](std::uint64_t) { return done; });
    EXPECT_EQ(rebuilt, 15000u); // seen free at 13 s and alike at 15 s

    // The read itself then meets the writer again: nothing is published, and two alike looks are needed
    // once more.
    d.sync.RebuildFailed(rebuilt);
    d.verdicts.clear();
    EXPECT_EQ(d.RunUntil(30000, [&](std::uint64_t) { return done; }), 19000u);
    EXPECT_EQ(d.verdicts, (std::vector<Verdict>{Verdict::Wait, Verdict::Rebuild}));
}

TEST(ContentSync, RemovedFilesRebuildAndAnAwayFolderKeepsThePublication) {
    Driver d;
    const FolderLook removed = Files({{State::Missing, 0, 0}, {State::Present, 20, 100}});
    d.sync.Changed(500);
    EXPECT_EQ(d.RunUntil(10000, [&](std::uint64_t) { return removed; }), 4500u);
    d.sync.Rebuilt(4500, removed);

    // The share goes away: no rebuild (it would empty the list), a look at every rescan.
    d.verdicts.clear();
    d.sync.Changed(5000);
    EXPECT_EQ(d.RunUntil(5000 + 2000 + 60000 * 2, [](std::uint64_t) { return FolderLook{false, {}}; }), 0u);
    EXPECT_EQ(d.verdicts, (std::vector<Verdict>(3, Verdict::Unreachable)));
    EXPECT_EQ(d.sync.NextLookMs(), 7000u + 3 * 60000);
}

TEST(ContentSync, AFolderThatNeverGoesQuietIsStillLookedAtAndChangesDuringARebuildAreNotLost) {
    ContentSync sync(0, kBuilt);
    for (std::uint64_t t = 1000; t <= 40000; t += 1000) {
        sync.Changed(t);
        if (t < 31000) {
            EXPECT_FALSE(sync.LookDue(t)) << t;
        }
    }
    EXPECT_TRUE(sync.LookDue(31000));
    const FolderLook changed = Files({{State::Present, 11, 101}, {State::Present, 20, 100}});
    EXPECT_EQ(sync.Looked(41000, changed), Verdict::Wait);
    EXPECT_EQ(sync.Looked(43000, changed), Verdict::Rebuild);
    // A change arrives while the rebuild is read; no look meanwhile, and a fresh gather after it.
    sync.Changed(43500);
    EXPECT_FALSE(sync.LookDue(50000));
    EXPECT_EQ(sync.Looked(43600, changed), Verdict::Wait);
    sync.Rebuilt(44000, changed);
    EXPECT_EQ(sync.NextLookMs(), 46000u);
    EXPECT_EQ(sync.Looked(46000, changed), Verdict::Unchanged);
}

TEST(ContentSync, TheAwayNoticeSaysSinceWhenInBothLanguages) {
    LocalDateTime since{{2026, 3, 9}, 7, 5, 59, 60};
    std::u16string notice = FolderAwayNotice(since);
    EXPECT_NE(notice.find(u"自 2026-03-09 07:05 起"), std::u16string::npos);
    EXPECT_NE(notice.find(u"reached since 2026-03-09 07:05;"), std::u16string::npos);
}
