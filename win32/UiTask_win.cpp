#include "win32/UiTask_win.h"

#include "win32/Window_win.h"

#include <deque>
#include <mutex>

namespace plumwick::win::uitask {

namespace {

constexpr UINT kWakeMessage = WM_APP + 0x2A;

class TaskWindow : public Window {
  public:
    bool Create() {
        return Exists() ||
               Window::Create(WindowClass{L"PlumwickUiTasks"}, 0, 0, L"", 0, 0, 0, 0, HWND_MESSAGE);
    }

    bool Post(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        if (!hwnd_) {
            return false;
        }
        tasks_.push_back(std::move(task));
        if (!wakePending_) {
            wakePending_ = PostMessageW(hwnd_, kWakeMessage, 0, 0) != FALSE;
            if (!wakePending_) {
                tasks_.pop_back(); // nothing would run it: the caller hears so instead
                return false;
            }
        }
        return true;
    }

    // One task at a time, in order: a task that lets messages run (a modal box) may drain the rest
    // inside it, and nothing is run twice or out of turn.
    void Drain() {
        while (true) {
            std::function<void()> task;
            {
                std::lock_guard lock(mutex_);
                wakePending_ = false;
                if (tasks_.empty()) {
                    return;
                }
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            try {
                task();
            } catch (...) {
                // A task that failed is its own poster's business; the queue goes on.
            }
        }
    }

    void Publish() {
        std::lock_guard lock(mutex_);
        hwnd_ = Handle();
    }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kWakeMessage) {
            Drain(); // whatever the message holds: it only wakes the window
            return 0;
        }
        return Default(message, wParam, lParam);
    }

    std::mutex mutex_;
    HWND hwnd_ = nullptr; // the handle other threads may post to, read under the lock
    std::deque<std::function<void()>> tasks_;
    bool wakePending_ = false;
};

TaskWindow& Tasks() {
    static TaskWindow* window = new TaskWindow; // lives until the process ends, as posters may
    return *window;
}

} // namespace

bool Initialize() {
    if (!Tasks().Create()) {
        return false;
    }
    Tasks().Publish();
    return true;
}

bool Post(std::function<void()> task) {
    return Tasks().Post(std::move(task));
}

void DrainNow() {
    Tasks().Drain();
}

} // namespace plumwick::win::uitask
