#include "content/ContentWatcher_win.h"

#include "common/FileBytes.h"
#include "win32/Strings_win.h"
#include "win32/UiTask_win.h"
#include "win32/Windows_win.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>

namespace plumwick {

namespace {

constexpr wchar_t kScheduleName[] = L"schedule.ini";
constexpr std::size_t kScheduleMaxBytes = 1 << 20;
// schedule.ini is polled this often besides the folder's own reports: editing it takes effect at the
// next rotation tick even on a share that reports nothing.
constexpr std::uint64_t kSchedulePollMs = 1000;
// Whether the folder is there at all is asked this often: a share that went away sends no report, and
// one that comes back should bring its publication up to date well before the next rescan.
constexpr std::uint64_t kReachPollMs = 5000;

std::int64_t TimeOf(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

// Opened for reading with others' writes refused: a writer that holds the file open makes this fail with
// a sharing violation, and while it is open nobody can change it under the reader.
win::UniqueFile OpenSettled(const std::u16string& path, DWORD& error) {
    win::UniqueFile file(CreateFileW(win::ToWide(path).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file ? ERROR_SUCCESS : GetLastError();
    return file;
}

FileLook LookAtFile(const std::u16string& path) {
    FileLook look;
    DWORD error = 0;
    win::UniqueFile file = OpenSettled(path, error);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file) {
        look.state = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileLook::State::Missing
                                                                                    : FileLook::State::Busy;
        return look;
    }
    if (!GetFileInformationByHandle(file.get(), &info)) {
        look.state = FileLook::State::Busy;
        return look;
    }
    look.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    look.modified = TimeOf(info.ftLastWriteTime);
    return look;
}

// The whole file, while others' writes are refused; nothing when it cannot be opened so or read to its end.
std::optional<std::string> ReadSettled(const std::u16string& path) {
    DWORD error = 0;
    win::UniqueFile file = OpenSettled(path, error);
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > kContentFileMaxBytes) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0) {
            return std::nullopt;
        }
        done += got;
    }
    return bytes;
}

struct FolderQuestion {
    std::u16string folder;
    std::atomic<bool> there{false};
};

unsigned long __stdcall AskFolder(void* parameter) {
    // The thread holds its own share: it may end long after the asker stopped waiting.
    std::unique_ptr<std::shared_ptr<FolderQuestion>> question(
        static_cast<std::shared_ptr<FolderQuestion>*>(parameter));
    DWORD attributes = GetFileAttributesW(win::ToWide((*question)->folder).c_str());
    (*question)->there = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return 0;
}

} // namespace

bool FolderAnswers(const std::u16string& folder, unsigned long timeoutMs) {
    auto question = std::make_shared<FolderQuestion>();
    question->folder = folder;
    auto* share = new std::shared_ptr<FolderQuestion>(question);
    win::UniqueKernelHandle thread(CreateThread(nullptr, 0, &AskFolder, share, 0, nullptr));
    if (!thread) {
        delete share;
        return false;
    }
    return WaitForSingleObject(thread.get(), timeoutMs) == WAIT_OBJECT_0 && question->there;
}

ContentWatcher::ContentWatcher(std::u16string folder, ScheduleHandler onSchedule, RebuildHandler onRebuild,
                               SyncTiming timing)
    : folder_(std::move(folder)), onSchedule_(std::move(onSchedule)), onRebuild_(std::move(onRebuild)),
      timing_(timing) {}

ContentWatcher::~ContentWatcher() {
    *alive_ = false;
    if (thread_) {
        SetEvent(stop_.get());
        WaitForSingleObject(thread_.get(), INFINITE);
    }
}

void ContentWatcher::Stop() {
    *alive_ = false;
    if (stop_) {
        SetEvent(stop_.get());
    }
}

bool ContentWatcher::WaitEnded(unsigned long ms) const {
    return !thread_ || WaitForSingleObject(thread_.get(), ms) == WAIT_OBJECT_0;
}

bool ContentWatcher::Start() {
    if (thread_) {
        return true;
    }
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    wake_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!stop_ || !wake_) {
        return false;
    }
    thread_.reset(CreateThread(nullptr, 0, &ContentWatcher::ThreadMain, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

void ContentWatcher::Watch(unsigned generation, std::vector<std::u16string> files) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        next_ = Watched{generation, std::move(files)};
    }
    if (wake_) {
        SetEvent(wake_.get());
    }
}

unsigned long __stdcall ContentWatcher::ThreadMain(void* parameter) {
    static_cast<ContentWatcher*>(parameter)->Run();
    return 0;
}

void ContentWatcher::Post(std::function<void()> task) {
    std::weak_ptr<bool> alive = alive_;
    win::uitask::Post([alive, task = std::move(task)] {
        if (std::shared_ptr<bool> still = alive.lock(); still && *still) {
            task();
        }
    });
}

void ContentWatcher::Run() {
    // The folder's reports of changes below it; without them (a share that sends none, a folder not there)
    // the rescans still find every change.
    win::UniqueFile folder;
    win::UniqueKernelHandle reported(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    std::vector<DWORD> buffer(16 * 1024 / sizeof(DWORD)); // shares take at most 64 KiB
    bool listening = false;
    std::uint64_t reopenDueMs = 0;
    auto listen = [&](std::uint64_t nowMs) {
        listening = false;
        if (!reported) {
            return;
        }
        if (!folder && nowMs >= reopenDueMs) {
            folder.reset(CreateFileW(win::ToWide(folder_).c_str(), FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                                     nullptr));
            reopenDueMs = nowMs + timing_.rescanMs;
        }
        if (!folder) {
            return;
        }
        ResetEvent(reported.get());
        overlapped = OVERLAPPED{};
        overlapped.hEvent = reported.get();
        listening =
            ReadDirectoryChangesW(folder.get(), buffer.data(), static_cast<DWORD>(buffer.size() * 4), TRUE,
                                  FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                      FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE,
                                  nullptr, &overlapped, nullptr) != FALSE;
        if (!listening) {
            folder.reset(); // tried again at the next rescan
        }
    };

    std::uint64_t scheduleDueMs = 0;
    std::uint64_t reachDueMs = 0;
    listen(GetTickCount64());
    while (true) {
        std::uint64_t now = GetTickCount64();
        if (!listening) {
            listen(now);
        }
        if (now >= scheduleDueMs) {
            PollSchedule();
            scheduleDueMs = now + kSchedulePollMs;
        }
        if (now >= reachDueMs) {
            reachDueMs = now + kReachPollMs;
            bool there = FolderThere();
            if (there != reachable_) {
                SetReachable(there);
                if (there) {
                    // Back: listen to it again at once (a handle still open may be on the folder that was
                    // moved away), and look at the publication's files soon.
                    if (listening) {
                        CancelIo(folder.get());
                        DWORD bytes = 0;
                        GetOverlappedResult(folder.get(), &overlapped, &bytes, TRUE);
                        listening = false;
                    }
                    folder.reset();
                    reopenDueMs = now;
                    listen(now);
                }
                if (sync_) {
                    sync_->Changed(now);
                }
            }
        }
        if (sync_ && sync_->LookDue(now)) {
            LookAtFiles(now);
        }
        std::uint64_t due = std::min(scheduleDueMs, reachDueMs);
        if (sync_) {
            due = std::min(due, sync_->NextLookMs());
        }
        now = GetTickCount64();
        DWORD wait = due > now ? static_cast<DWORD>(std::min<std::uint64_t>(due - now, 60000)) : 0;
        HANDLE handles[] = {stop_.get(), wake_.get(), reported.get()};
        DWORD woke = WaitForMultipleObjects(listening ? 3 : 2, handles, FALSE, wait);
        now = GetTickCount64();
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) {
            break;
        }
        if (woke == WAIT_OBJECT_0 + 1) {
            std::optional<Watched> next;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                next.swap(next_);
            }
            if (next) {
                watched_ = std::move(*next);
                sync_.reset();
                if (!watched_.files.empty()) {
                    sync_.emplace(now, Look(), timing_);
                }
            }
        } else if (woke == WAIT_OBJECT_0 + 2) {
            DWORD bytes = 0; // 0 with success: more changes than the buffer held, which is a change too
            bool reportedOk = GetOverlappedResult(folder.get(), &overlapped, &bytes, FALSE) != FALSE;
            if (sync_) {
                sync_->Changed(now);
            }
            scheduleDueMs = now; // schedule.ini may be what changed
            if (reportedOk) {
                listen(now);
            } else {
                // The folder went away under the handle (deleted, share gone): listening again at once could
                // fail at once, over and over; the rescans look meanwhile and the handle is opened anew.
                folder.reset();
                listening = false;
                reopenDueMs = now + timing_.rescanMs;
            }
        }
    }
    if (listening) {
        CancelIo(folder.get());
        DWORD bytes = 0;
        GetOverlappedResult(folder.get(), &overlapped, &bytes, TRUE);
    }
}

void ContentWatcher::PollSchedule() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FileStamp stamp;
    if (GetFileAttributesExW((win::ToWide(folder_) + kScheduleName).c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        stamp.exists = true;
        stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        stamp.modified = TimeOf(data.ftLastWriteTime);
    }
    // The first poll reads at once, so the schedule applies from the start.
    bool settled = !scheduleHanded_ || scheduleSeen_ == stamp;
    scheduleSeen_ = stamp;
    if (!settled || scheduleHanded_ == stamp) {
        return;
    }
    std::optional<std::string> bytes;
    if (stamp.exists) {
        bytes = ReadFileBytes(folder_ + u"schedule.ini", kScheduleMaxBytes);
        if (!bytes) {
            return; // held by its writer, or too large: tried again at the next poll
        }
    }
    scheduleHanded_ = stamp;
    ScheduleHandler handler = onSchedule_;
    Post([handler, bytes = std::move(bytes)]() mutable { handler(std::move(bytes)); });
}

bool ContentWatcher::FolderThere() const {
    DWORD attributes = GetFileAttributesW(win::ToWide(folder_).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ContentWatcher::SetReachable(bool reachable) {
    if (reachable == reachable_) {
        return;
    }
    reachable_ = reachable;
    if (ReachHandler handler = onReach_) {
        Post([handler, reachable] { handler(reachable); });
    }
}

FolderLook ContentWatcher::Look() const {
    FolderLook look;
    look.reachable = FolderThere();
    if (!look.reachable) {
        return look;
    }
    look.files.reserve(watched_.files.size());
    for (const std::u16string& path : watched_.files) {
        look.files.push_back(LookAtFile(path));
    }
    return look;
}

void ContentWatcher::LookAtFiles(std::uint64_t nowMs) {
    FolderLook look = Look();
    SetReachable(look.reachable);
    if (sync_->Looked(nowMs, look) != ContentSync::Verdict::Rebuild) {
        return;
    }
    std::vector<std::optional<std::string>> files;
    files.reserve(look.files.size());
    for (std::size_t i = 0; i < look.files.size(); ++i) {
        if (look.files[i].state == FileLook::State::Missing) {
            files.emplace_back();
            continue;
        }
        std::optional<std::string> bytes = ReadSettled(watched_.files[i]);
        if (!bytes) {
            sync_->RebuildFailed(GetTickCount64());
            return;
        }
        files.push_back(std::move(bytes));
    }
    // Each file was read whole; had one changed meanwhile, the set would not belong together.
    if (Look() != look) {
        sync_->RebuildFailed(GetTickCount64());
        return;
    }
    sync_->Rebuilt(GetTickCount64(), look);
    RebuildHandler handler = onRebuild_;
    unsigned generation = watched_.generation;
    Post(
        [handler, generation, files = std::move(files)]() mutable { handler(generation, std::move(files)); });
}

} // namespace plumwick
