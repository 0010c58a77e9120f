// The command pipe's server inside one process: this test thread is the user-interface thread that
// answers, other threads are the clients.
#include "command/PipeServer_win.h"
#include "common/TextUtil.h"
#include "tools/PipeClient_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace plumwick;

namespace {

// Records the lines drawn and the thread each command ran on.
class RecordingTarget : public CommandTarget {
  public:
    std::vector<std::string> lines;
    std::vector<DWORD> threads;

    void StartKaraokeTimer() override {}
    void StopKaraokeTimer() override {}
    void KaraokeDrawKRC(const std::u16string&, const std::u16string&, std::int16_t) override {}
    void KaraokeDrawText(const std::u16string&) override {}
    void DrawMainLine(const std::u16string& text) override {
        lines.push_back(text.size() > 64 ? "<" + std::to_string(text.size()) + " units>" : Utf16ToUtf8(text));
        threads.push_back(GetCurrentThreadId());
    }
    void SetKaraokeText(const std::u16string&) override {}
    void ClearKaraokeSurface() override {}
    void ClearMainSurface() override {}
    void HideToolbar() override {}
    void CloseToolbar() override {}
    void CloseCommandWindow() override {}
    void LockDisplay(bool) override {}
    void HoldLine(unsigned) override {}
    void EndHold() override {}
};

class NoStatus : public StatusSource {
  public:
    DisplayStatus Status() override { return {}; }
};

struct PipeServerTest : ::testing::Test {
    void SetUp() override {
        static int serial = 0;
        name = u"\\\\.\\pipe\\plumwick-test." + Utf8ToUtf16(std::to_string(GetCurrentProcessId())) + u"." +
               Utf8ToUtf16(std::to_string(++serial));
        bool started = server.StartAs(name);
        std::wstring problem = server.Outcome().Text();
        ASSERT_TRUE(started) << Utf16ToUtf8(std::u16string(problem.begin(), problem.end()));
    }
    std::wstring WideName() const { return std::wstring(name.begin(), name.end()); }

    // Runs the clients on their own threads while this thread pumps messages as the display's loop does;
    // returns the longest time one pass of the loop took.
    std::chrono::milliseconds PumpWhile(std::vector<std::function<void()>> clients) {
        std::atomic<int> running{static_cast<int>(clients.size())};
        std::vector<std::thread> threads;
        for (auto& client : clients) {
            threads.emplace_back([&running, client] {
                client();
                --running;
            });
        }
        auto longest = std::chrono::milliseconds(0);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (running > 0 && std::chrono::steady_clock::now() < deadline) {
            auto start = std::chrono::steady_clock::now();
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
            longest = std::max(longest, std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now() - start));
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        for (auto& thread : threads) {
            thread.join();
        }
        return longest;
    }

    std::u16string name;
    RecordingTarget target;
    NoStatus status;
    PipeServer server{target, status};
};

} // namespace

TEST_F(PipeServerTest, CommandsRunOnTheAnsweringThreadInTheOrderTheyArrive) {
    std::vector<std::string> replies;
    PumpWhile({[&] {
        for (int i = 0; i < 20; ++i) {
            replies.push_back(SendToPipe(WideName(), "DLT" + std::to_string(i), 5000, 5000).reply);
        }
    }});
    ASSERT_EQ(target.lines.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(target.lines[i], std::to_string(i));
        EXPECT_EQ(replies[i], "OK");
        EXPECT_EQ(target.threads[i], GetCurrentThreadId());
    }
}

TEST_F(PipeServerTest, AMessageOfTheLimitRunsAndOneByteMoreIsRefusedUnrun) {
    std::string atLimit = "DLT" + std::string(kPipeMessageLimit - 3, 'a');
    std::string overLimit = atLimit + "a";
    PipeResult at, over;
    PumpWhile({[&] {
        at = SendToPipe(WideName(), atLimit, 5000, 20000);
        over = SendToPipe(WideName(), overLimit, 5000, 20000);
    }});
    EXPECT_EQ(at.reply, "OK");
    EXPECT_EQ(over.reply, TooLongReply());
    EXPECT_EQ(target.lines,
              (std::vector<std::string>{"<" + std::to_string(kPipeMessageLimit - 3) + " units>"}));
}

TEST_F(PipeServerTest, SilentAndStreamingClientsNeverHoldUpTheLoopOrOtherClients) {
    HANDLE silent =
        CreateFileW(WideName().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(silent, INVALID_HANDLE_VALUE);
    std::chrono::milliseconds answeredIn{};
    auto longest = PumpWhile({
        [&] { SendToPipe(WideName(), "DLT" + std::string(3 * kPipeMessageLimit, 'x'), 5000, 30000); },
        [&] {
            auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(SendToPipe(WideName(), "DLTquick", 5000, 5000).reply, "OK");
            answeredIn = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
        },
    });
    CloseHandle(silent);
    EXPECT_LT(answeredIn.count(), 2000) << "a client waited on another one";
    EXPECT_LT(longest.count(), 500) << "the answering thread was held up";
    EXPECT_EQ(target.lines, (std::vector<std::string>{"quick"}));
}

TEST(PipeServerStart, AFailedStartNamesTheCallAndTheSystemsReason) {
    RecordingTarget target;
    NoStatus status;
    PipeServer server{target, status};
    EXPECT_FALSE(server.StartAs(u"\\\\.\\no-such-device\\plumwick"));
    std::wstring problem = server.Outcome().Text();
    EXPECT_EQ(problem.rfind(L"CreateNamedPipe failed: ", 0), 0u)
        << Utf16ToUtf8(std::u16string(problem.begin(), problem.end()));
    EXPECT_GT(problem.size(), 25u); // the system's text follows
}
