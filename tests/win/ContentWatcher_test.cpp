// The content folder's watcher inside one process: this test thread is the window thread its findings
// reach through the task queue; the test writes the files as an editor or a slow writer would.
#include "content/ContentWatcher_win.h"
#include "win32/Handles_win.h"
#include "win32/UiTask_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using namespace plumwick;

namespace {

struct ContentWatcherTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(win::uitask::Initialize());
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int serial = 0;
        folder = std::wstring(temp) + L"plumwick-watch-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++serial) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        Write(L"a.txt", "first a\r\n");
        Write(L"b.txt", "first b\r\n");
    }
    void TearDown() override {
        if (watcher) {
            // The program's end waits only briefly for a watcher: a stopped one must end at once.
            watcher->Stop();
            EXPECT_TRUE(watcher->WaitEnded(5000));
        }
        watcher.reset();
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"schedule.ini"}) {
            DeleteFileW((folder + name).c_str());
        }
        RemoveDirectoryW(folder.c_str());
    }
    void Write(const std::wstring& name, const std::string& bytes) {
        win::UniqueFile file(CreateFileW((folder + name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    std::u16string Path(const std::wstring& name) const {
        std::wstring path = folder + name;
        return std::u16string(path.begin(), path.end());
    }
    void StartWatching() {
        std::wstring wide = folder;
        watcher = std::make_unique<ContentWatcher>(
            std::u16string(wide.begin(), wide.end()),
            [this](std::optional<std::string> bytes) {
                schedules.push_back(std::move(bytes));
                threads.push_back(GetCurrentThreadId());
            },
            [this](unsigned generation, std::vector<std::optional<std::string>> files) {
                rebuilds.push_back({generation, std::move(files)});
                threads.push_back(GetCurrentThreadId());
            },
            SyncTiming{.gatherMs = 200, .maxGatherMs = 2000, .settleMs = 200, .rescanMs = 60000});
        watcher->OnReachability([this](bool reachable) { reaches.push_back(reachable); });
        ASSERT_TRUE(watcher->Start());
    }
    // Pumps the queue as the display's loop does until `done` holds or the time is up.
    template <typename Done> bool PumpUntil(Done done, double seconds) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return true;
    }

    struct Rebuild {
        unsigned generation;
        std::vector<std::optional<std::string>> files;
    };
    std::wstring folder;
    std::unique_ptr<ContentWatcher> watcher;
    std::vector<std::optional<std::string>> schedules;
    std::vector<Rebuild> rebuilds;
    std::vector<DWORD> threads;
    std::vector<bool> reaches;
};

} // namespace

TEST_F(ContentWatcherTest, ScheduleIniIsHandedOverAtStartAndWhenItChanges) {
    StartWatching();
    ASSERT_TRUE(PumpUntil([&] { return schedules.size() == 1; }, 5));
    EXPECT_EQ(schedules[0], std::nullopt); // none yet
    Write(L"schedule.ini", "[a.txt]\r\ndays = Mon\r\n");
    ASSERT_TRUE(PumpUntil([&] { return schedules.size() == 2; }, 5));
    EXPECT_EQ(schedules[1], std::optional<std::string>("[a.txt]\r\ndays = Mon\r\n"));
    DeleteFileW((folder + L"schedule.ini").c_str());
    ASSERT_TRUE(PumpUntil([&] { return schedules.size() == 3; }, 5));
    EXPECT_EQ(schedules[2], std::nullopt);
    // Nothing changed: nothing handed over again.
    PumpUntil([] { return false; }, 1.5);
    EXPECT_EQ(schedules.size(), 3u);
    for (DWORD thread : threads) {
        EXPECT_EQ(thread, GetCurrentThreadId()) << "a finding ran off the window thread";
    }
}

TEST_F(ContentWatcherTest, AChangedOrRemovedFileRebuildsButAHeldOneWaitsForItsWriter) {
    StartWatching();
    watcher->Watch(7, {Path(L"a.txt"), Path(L"b.txt")});
    PumpUntil([] { return false; }, 0.5);
    EXPECT_TRUE(rebuilds.empty()) << "rebuilt with nothing changed";

    Write(L"a.txt", "second a\r\n");
    ASSERT_TRUE(PumpUntil([&] { return rebuilds.size() == 1; }, 5));
    EXPECT_EQ(rebuilds[0].generation, 7u);
    ASSERT_EQ(rebuilds[0].files.size(), 2u);
    EXPECT_EQ(rebuilds[0].files[0], std::optional<std::string>("second a\r\n"));
    EXPECT_EQ(rebuilds[0].files[1], std::optional<std::string>("first b\r\n"));

    DeleteFileW((folder + L"b.txt").c_str());
    ASSERT_TRUE(PumpUntil([&] { return rebuilds.size() == 2; }, 5));
    ASSERT_EQ(rebuilds[1].files.size(), 2u);
    EXPECT_EQ(rebuilds[1].files[1], std::nullopt);

    // A writer holds a.txt open without sharing while it writes in two parts.
    {
        win::UniqueFile writer(CreateFileW((folder + L"a.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(writer.get(), "half", 4, &written, nullptr));
        FlushFileBuffers(writer.get());
        PumpUntil([] { return false; }, 1.5);
        EXPECT_EQ(rebuilds.size(), 2u) << "read while its writer held it";
        ASSERT_TRUE(WriteFile(writer.get(), " and whole\r\n", 12, &written, nullptr));
    }
    ASSERT_TRUE(PumpUntil([&] { return rebuilds.size() == 3; }, 5));
    EXPECT_EQ(rebuilds[2].files[0], std::optional<std::string>("half and whole\r\n"));

    // A new publication replaces the watched files.
    watcher->Watch(8, {Path(L"a.txt")});
    PumpUntil([] { return false; }, 0.3);
    Write(L"a.txt", "third a\r\n");
    ASSERT_TRUE(PumpUntil([&] { return rebuilds.size() == 4; }, 5));
    EXPECT_EQ(rebuilds[3].generation, 8u);
    EXPECT_EQ(rebuilds[3].files, (std::vector<std::optional<std::string>>{"third a\r\n"}));
}

TEST_F(ContentWatcherTest, AFolderMovedAwayAndBackIsToldWithinSecondsAndItsChangedFileRebuilds) {
    std::wstring there = folder.substr(0, folder.size() - 1);
    std::wstring away = there + L".away";
    EXPECT_TRUE(FolderAnswers(std::u16string(folder.begin(), folder.end()), 2000));
    ASSERT_NO_FATAL_FAILURE(StartWatching());
    watcher->Watch(1, {Path(L"a.txt")});
    ASSERT_TRUE(PumpUntil([&] { return !schedules.empty(); }, 5)); // the watcher's first round is done
    EXPECT_TRUE(reaches.empty());

    // No report comes for the folder itself going: the watcher asks for it every few seconds.
    ASSERT_TRUE(MoveFileW(there.c_str(), away.c_str())) << GetLastError();
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(PumpUntil([&] { return !reaches.empty(); }, 8));
    EXPECT_EQ(reaches, std::vector<bool>{false});
    std::printf("folder away told after %.1f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    EXPECT_FALSE(FolderAnswers(std::u16string(folder.begin(), folder.end()), 2000));

    // Changed while away, then back: told, and the publication's file is read again.
    {
        win::UniqueFile file(CreateFileW((away + L"\\a.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), "back a\r\n", 8, &written, nullptr));
    }
    ASSERT_TRUE(MoveFileW(away.c_str(), there.c_str())) << GetLastError();
    EXPECT_TRUE(PumpUntil([&] { return reaches.size() == 2 && !rebuilds.empty(); }, 12));
    EXPECT_EQ(reaches, (std::vector<bool>{false, true}));
    ASSERT_FALSE(rebuilds.empty());
    EXPECT_EQ(rebuilds.back().generation, 1u);
    EXPECT_EQ(rebuilds.back().files, (std::vector<std::optional<std::string>>{"back a\r\n"}));
}
