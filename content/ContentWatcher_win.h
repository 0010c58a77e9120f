#pragma once
// Watches the content folder from a worker thread, so that nothing on a share (which may take seconds to
// answer, or not answer at all) ever holds the window thread: schedule.ini is read again when it changes,
// and the files of the current publication are looked at when the folder reports a change (and every
// rescan, since shares do not always report) and read whole when they have settled. What it finds reaches
// the window thread only through the program's task queue.
#include "content/ContentSync.h"
#include "win32/Handles_win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace plumwick {

// Whether `folder` is there, asked from a thread of its own and waited for at most `timeoutMs`: a share
// that does not answer counts as away rather than holding the window thread for the network's time-out.
bool FolderAnswers(const std::u16string& folder, unsigned long timeoutMs);

class ContentWatcher {
  public:
    // On the window thread: schedule.ini's bytes, nothing when there is none (or it cannot be read).
    using ScheduleHandler = std::function<void(std::optional<std::string> bytes)>;
    // On the window thread: the publication's files read whole, in publish order (nothing for a file that
    // is gone); `generation` is the one given to Watch, so a rebuild of an older publication is dropped.
    using RebuildHandler =
        std::function<void(unsigned generation, std::vector<std::optional<std::string>> files)>;

    // On the window thread: the folder could not be reached at a look (false), or could again (true).
    using ReachHandler = std::function<void(bool reachable)>;

    // `folder` ends in its separator.
    ContentWatcher(std::u16string folder, ScheduleHandler onSchedule, RebuildHandler onRebuild,
                   SyncTiming timing = {});
    ~ContentWatcher();
    ContentWatcher(const ContentWatcher&) = delete;
    ContentWatcher& operator=(const ContentWatcher&) = delete;

    // Before Start: told when the folder goes away and comes back.
    void OnReachability(ReachHandler handler) { onReach_ = std::move(handler); }
    // Starts the thread; false (and nothing watched) when it cannot be made.
    bool Start();
    // Asks the thread to end without waiting for it (a look at a share may take the network's time-out);
    // nothing it finds from now on reaches the window thread. The destructor still waits for the thread.
    void Stop();
    // After Stop: true once the thread has ended, waiting at most `ms` for it.
    bool WaitEnded(unsigned long ms) const;
    // The files (full paths, publish order) a publication was just made from; an empty list watches none.
    void Watch(unsigned generation, std::vector<std::u16string> files);

  private:
    // schedule.ini as the last poll found it.
    struct FileStamp {
        bool exists = false;
        std::uint64_t size = 0;
        std::int64_t modified = 0;
        bool operator==(const FileStamp&) const = default;
    };

    static unsigned long __stdcall ThreadMain(void* parameter);
    void Run();
    // Reads schedule.ini again once its size and time have held still for one poll (a sync engine may be
    // half way through writing it), and hands it over when it is not what was handed over last.
    void PollSchedule();
    // Looks at the watched files, reads them whole when they have settled, hands them over.
    void LookAtFiles(std::uint64_t nowMs);
    FolderLook Look() const;
    bool FolderThere() const;
    // Tells the window thread when the folder went away or came back.
    void SetReachable(bool reachable);
    void Post(std::function<void()> task);

    struct Watched {
        unsigned generation = 0;
        std::vector<std::u16string> files;
    };

    std::u16string folder_;
    ScheduleHandler onSchedule_;
    RebuildHandler onRebuild_;
    ReachHandler onReach_;
    SyncTiming timing_;
    win::UniqueKernelHandle stop_;
    win::UniqueKernelHandle wake_; // a new publication to watch
    win::UniqueKernelHandle thread_;
    std::mutex mutex_;
    std::optional<Watched> next_; // set by Watch, taken by the thread
    // The thread's own.
    Watched watched_;
    std::optional<ContentSync> sync_;
    std::optional<FileStamp> scheduleSeen_;   // the last poll
    std::optional<FileStamp> scheduleHanded_; // what was read and handed over
    bool reachable_ = true;                   // at the last look
    // Held by the tasks posted to the window thread: one that runs after the watcher has gone does nothing.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace plumwick
