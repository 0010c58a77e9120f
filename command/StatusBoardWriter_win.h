#pragma once
// Writes this display's status file into the status folder from a thread of its own: a share that is away
// or hangs costs that thread, never the window thread. The window thread hands it snapshots (one JSON line
// each); the thread writes the latest through a temporary file it then renames over the status file, so a
// reader never sees half a file, and tries again with a growing pause while the folder cannot be written.
#include "win32/Handles_win.h"
#include "win32/Result_win.h"

#include <functional>
#include <memory>
#include <string>

namespace plumwick {

class StatusBoardWriter {
  public:
    // A snapshot is due every minute.
    static constexpr unsigned kPeriodSeconds = 60;

    // <folder>\<computer>.json. `due` runs on the writer's thread every `periodSeconds`, when a fresh
    // snapshot is wanted; it asks the window thread, which answers with Submit.
    StatusBoardWriter(std::wstring folder, std::wstring computer, std::function<void()> due,
                      unsigned periodSeconds = kPeriodSeconds);
    ~StatusBoardWriter();
    StatusBoardWriter(const StatusBoardWriter&) = delete;
    StatusBoardWriter& operator=(const StatusBoardWriter&) = delete;

    // Starts the thread; false (nothing is written) when it cannot run.
    bool Start();
    // From any thread: the snapshot to write next, replacing one not yet written. Returns at once.
    void Submit(std::string json);
    // The last snapshot, as the program ends: true when it was written within `timeoutMs`. Nothing is
    // written after it.
    bool Finish(std::string json, unsigned timeoutMs);

    std::wstring Path() const;
    // The temporary file beside it.
    std::wstring TemporaryPath() const;

  private:
    struct Shared;
    static DWORD WINAPI ThreadMain(void* parameter);
    static void Run(const std::shared_ptr<Shared>& shared);
    static win::Result Write(const Shared& shared, const std::string& json);

    std::shared_ptr<Shared> shared_;
    win::UniqueKernelHandle thread_;
};

} // namespace plumwick
