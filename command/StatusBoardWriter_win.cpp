#include "command/StatusBoardWriter_win.h"

#include "command/StatusBoard.h"
#include "common/TextUtil.h"
#include "notice/EventLog.h"
#include "win32/Files_win.h"
#include "win32/Strings_win.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace plumwick {

struct StatusBoardWriter::Shared {
    std::wstring path;
    std::wstring temporary;
    std::function<void()> due;
    ULONGLONG periodMs = 0;
    win::UniqueKernelHandle wake;     // a snapshot came, or stop
    win::UniqueKernelHandle finished; // the last snapshot was written, or given up
    std::mutex mutex;
    std::string pending; // guarded by mutex
    bool hasPending = false;
    bool last = false;
    std::atomic<bool> stop{false};
};

StatusBoardWriter::StatusBoardWriter(std::wstring folder, std::wstring computer, std::function<void()> due,
                                     unsigned periodSeconds)
    : shared_(std::make_shared<Shared>()) {
    shared_->periodMs = std::max(1u, periodSeconds) * 1000ull;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    std::wstring file = folder + L"\\" + win::ToWide(BoardFileName(win::ToU16(computer)));
    shared_->path = file;
    // Not *.json, so a reader of the folder never takes it for a screen.
    shared_->temporary = file + L".tmp";
    shared_->due = std::move(due);
}

StatusBoardWriter::~StatusBoardWriter() {
    // The thread may be stuck in a share that hangs: it is told to stop and left; what it uses it shares.
    shared_->stop = true;
    if (shared_->wake) {
        SetEvent(shared_->wake.get());
    }
}

std::wstring StatusBoardWriter::Path() const {
    return shared_->path;
}
std::wstring StatusBoardWriter::TemporaryPath() const {
    return shared_->temporary;
}

bool StatusBoardWriter::Start() {
    shared_->wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    shared_->finished.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!shared_->wake || !shared_->finished) {
        (void)win::Result::LastError(L"CreateEventW");
        return false;
    }
    auto* parameter = new std::shared_ptr<Shared>(shared_);
    thread_.reset(CreateThread(nullptr, 0, &StatusBoardWriter::ThreadMain, parameter, 0, nullptr));
    if (!thread_) {
        (void)win::Result::LastError(L"CreateThread");
        delete parameter;
        return false;
    }
    return true;
}

void StatusBoardWriter::Submit(std::string json) {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->last) {
            return;
        }
        shared_->pending = std::move(json);
        shared_->hasPending = true;
    }
    if (shared_->wake) {
        SetEvent(shared_->wake.get());
    }
}

bool StatusBoardWriter::Finish(std::string json, unsigned timeoutMs) {
    if (!thread_) {
        return false;
    }
    {
        std::lock_guard lock(shared_->mutex);
        shared_->pending = std::move(json);
        shared_->hasPending = true;
        shared_->last = true;
    }
    SetEvent(shared_->wake.get());
    return WaitForSingleObject(shared_->finished.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI StatusBoardWriter::ThreadMain(void* parameter) {
    std::unique_ptr<std::shared_ptr<Shared>> shared(static_cast<std::shared_ptr<Shared>*>(parameter));
    try {
        Run(*shared);
    } catch (...) {
        // The board goes quiet, and so it shows the screen as silent; the display runs on.
    }
    return 0;
}

void StatusBoardWriter::Run(const std::shared_ptr<Shared>& shared) {
    ULONGLONG nextDue = GetTickCount64() + shared->periodMs;
    ULONGLONG retryAt = 0;
    unsigned failures = 0;
    std::string latest;
    bool last = false;
    while (!shared->stop) {
        ULONGLONG now = GetTickCount64();
        ULONGLONG until = nextDue;
        if (failures > 0 && !latest.empty()) {
            until = std::min(until, retryAt);
        }
        WaitForSingleObject(shared->wake.get(), until > now ? static_cast<DWORD>(until - now) : 0);
        if (shared->stop) {
            return;
        }
        bool fresh = false;
        {
            std::lock_guard lock(shared->mutex);
            if (shared->hasPending) {
                latest = std::move(shared->pending);
                shared->hasPending = false;
                last = shared->last;
                fresh = true;
            }
        }
        now = GetTickCount64();
        if (now >= nextDue && !last) {
            shared->due();
            nextDue = now + shared->periodMs;
        }
        // While the folder is away a new snapshot waits for the next try; the last one goes at once.
        const bool tryNow = (fresh && (failures == 0 || last)) || (failures > 0 && now >= retryAt);
        if (latest.empty() || !tryNow) {
            continue;
        }
        win::Result written = Write(*shared, latest);
        if (written) {
            if (failures > 0) {
                LogEvent("board", u"the status file is written again, after " +
                                      Utf8ToUtf16(std::to_string(failures)) + u" failed tries");
            }
            failures = 0;
            latest.clear();
        } else {
            ++failures;
            retryAt = GetTickCount64() + BoardRetrySeconds(failures) * 1000ull;
        }
        if (last) {
            SetEvent(shared->finished.get());
            return;
        }
    }
}

win::Result StatusBoardWriter::Write(const Shared& shared, const std::string& json) {
    return win::ReplaceFileContents(shared.path, shared.temporary, json + "\r\n", MOVEFILE_REPLACE_EXISTING,
                                    true);
}

} // namespace plumwick
