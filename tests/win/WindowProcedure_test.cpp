// Whatever a window's step throws, out of memory included, ends that step: the process and the window
// go on.
#include "win32/Window_win.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using namespace plumwick;

namespace {

constexpr UINT kThrowOutOfMemory = WM_APP + 1;
constexpr UINT kThrowError = WM_APP + 2;
constexpr UINT kAnswer = WM_APP + 3;

class ThrowingWindow : public win::Window {
  public:
    bool Create() {
        return win::Window::Create(win::WindowClass{L"PlumwickThrowingWindowTest"}, 0, WS_POPUP, L"", 0, 0,
                                   10, 10, nullptr);
    }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case kThrowOutOfMemory:
            throw std::bad_alloc();
        case kThrowError:
            throw std::runtime_error("a step failed");
        case kAnswer:
            return 42;
        default:
            return Default(message, wParam, lParam);
        }
    }
};

} // namespace

TEST(WindowProcedure, AThrowingStepEndsThereAndTheWindowAnswersTheNextMessage) {
    ThrowingWindow window;
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(SendMessageW(window.Handle(), kThrowOutOfMemory, 0, 0), 0);
    EXPECT_EQ(SendMessageW(window.Handle(), kThrowError, 0, 0), 0);
    PostMessageW(window.Handle(), kThrowOutOfMemory, 0, 0);
    win::RunWaitingMessages();
    EXPECT_EQ(SendMessageW(window.Handle(), kAnswer, 0, 0), 42);
    window.Destroy();
    EXPECT_FALSE(window.Exists());
}
