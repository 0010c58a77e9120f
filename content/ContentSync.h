#pragma once
// Keeping a publication in step with its files: when to look at them again and when to rebuild from
// them. A sync engine writes many files in a burst, a share may not notify at all, and a file may be
// caught half written, so a rebuild waits until the folder has been quiet for a moment and every
// published file has been seen twice alike and readable; until then the rotation goes on with the
// publication it has. Times are milliseconds of a steady clock (never the wall clock, which may be set
// back); the window code feeds it the folder's notifications and the results of its looks.
#include "content/Schedule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plumwick {

// One published file as a look found it.
struct FileLook {
    enum class State {
        Present, // opened for reading with others' writes refused, and its size and time read
        Missing, // gone: the rebuild leaves its lines out
        Busy,    // there, but another program holds it open for writing (a sharing violation)
    };
    State state = State::Present;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // last-write time in the file system's own units
    bool operator==(const FileLook&) const = default;
};

struct FolderLook {
    bool reachable = true;       // false: the folder itself cannot be listed (share away, VPN down)
    std::vector<FileLook> files; // the published files, in publish order
    bool operator==(const FolderLook&) const = default;
};

struct SyncTiming {
    std::uint64_t gatherMs = 2000;     // quiet time after the last notification before a look
    std::uint64_t maxGatherMs = 30000; // a folder that never goes quiet is still looked at this often
    std::uint64_t settleMs = 2000;     // between two looks that must agree before a rebuild
    std::uint64_t rescanMs = 60000;    // a look without any notification, for shares that send none
};

class ContentSync {
  public:
    // A publication was just made from files that looked like `built`.
    ContentSync(std::uint64_t nowMs, FolderLook built, SyncTiming timing = {});

    // The folder reported a change.
    void Changed(std::uint64_t nowMs);

    // Whether a look at the files is due now, and the time of the next one (the window code sets its timer
    // to it; asking early is harmless). No look is due while a rebuild is being read.
    bool LookDue(std::uint64_t nowMs) const;
    std::uint64_t NextLookMs() const;

    enum class Verdict {
        Unchanged,   // as published: nothing to do
        Wait,        // something is changing or busy: look again later, keep the publication
        Rebuild,     // read the files and publish them; then Rebuilt or RebuildFailed
        Unreachable, // the folder is away: keep the publication (and its cache), look again later
    };
    Verdict Looked(std::uint64_t nowMs, const FolderLook& look);

    // The rebuild read every file whole and published them, as they looked in `look`.
    void Rebuilt(std::uint64_t nowMs, FolderLook look);
    // A file could not be read whole after all (opened by a writer in between, or its size moved while it
    // was read): nothing was published; the files must be seen alike twice again.
    void RebuildFailed(std::uint64_t nowMs);

  private:
    enum class Phase { Idle, Gathering, Settling, Rebuilding };

    void Settle(std::uint64_t nowMs);
    void Rest(std::uint64_t nowMs);

    SyncTiming timing_;
    Phase phase_ = Phase::Idle;
    FolderLook built_;
    std::optional<FolderLook> previous_; // the last look, when it asked to wait
    std::uint64_t dueMs_ = 0;            // the next look (any phase but Rebuilding)
    std::uint64_t gatherLimitMs_ = 0;    // Gathering: the latest the look may come
    bool changedWhileRebuilding_ = false;
};

// The notice when the content folder cannot be reached: since when, and that the display goes on with
// the lines it has.
std::u16string FolderAwayNotice(const LocalDateTime& since);

} // namespace plumwick
