// The status file's writer against the real file system: whole files only, and a write that never returns
// holds its own thread and nothing else.
#include "command/StatusBoardWriter_win.h"
#include "win32/Handles_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

using namespace plumwick;

namespace {

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"plumwick-board-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::string ReadFileText(const std::wstring& path) {
    win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

bool WaitForText(const std::wstring& path, const std::string& text, DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if (ReadFileText(path) == text) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

} // namespace

TEST(StatusBoardWriter, WritesTheLatestSnapshotWholeAndTheLastOneAtTheEnd) {
    const std::wstring folder = TempFolder();
    std::atomic<int> due{0};
    {
        // A folder written with a trailing separator still gives one file beside no other.
        StatusBoardWriter writer(
            folder + L"\\", L"SHOP-017", [&] { ++due; }, 1);
        EXPECT_EQ(writer.Path(), folder + L"\\SHOP-017.json");
        ASSERT_TRUE(writer.Start());
        writer.Submit("{\"n\":1}");
        EXPECT_TRUE(WaitForText(writer.Path(), "{\"n\":1}\r\n", 5000));
        writer.Submit("{\"n\":2}");
        EXPECT_TRUE(WaitForText(writer.Path(), "{\"n\":2}\r\n", 5000));
        // Each period asks for a fresh snapshot.
        for (int waited = 0; waited < 300 && due < 2; ++waited) {
            Sleep(10);
        }
        EXPECT_GE(due.load(), 2);
        EXPECT_TRUE(writer.Finish("{\"n\":3}", 2000));
        EXPECT_EQ(ReadFileText(writer.Path()), "{\"n\":3}\r\n");
        // Nothing after the last.
        writer.Submit("{\"n\":4}");
        Sleep(200);
        EXPECT_EQ(ReadFileText(writer.Path()), "{\"n\":3}\r\n");
        EXPECT_EQ(GetFileAttributesW(writer.TemporaryPath().c_str()), INVALID_FILE_ATTRIBUTES);
        DeleteFileW(writer.Path().c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

TEST(StatusBoardWriter, AFolderThatIsAwayIsTriedAgainUntilItIsBack) {
    const std::wstring folder = TempFolder() + L"-away";
    StatusBoardWriter writer(
        folder, L"SHOP-017", [] {}, 3600);
    ASSERT_TRUE(writer.Start());
    writer.Submit("{\"n\":1}");
    Sleep(300);
    EXPECT_EQ(GetFileAttributesW(writer.Path().c_str()), INVALID_FILE_ATTRIBUTES);
    // Back within the first pause (5 s): the snapshot waiting is written then, without a new one.
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_TRUE(WaitForText(writer.Path(), "{\"n\":1}\r\n", 8000));
    EXPECT_TRUE(writer.Finish("{}", 2000));
    DeleteFileW(writer.Path().c_str());
    RemoveDirectoryW(folder.c_str());
}

// A share that hangs: the writer's file is a pipe whose server never reads, so its write never returns.
// Submit still returns at once and the end waits no longer than it was told.
TEST(StatusBoardWriter, AWriteThatNeverReturnsHoldsOnlyItsOwnThread) {
    const std::wstring folder = L"\\\\.\\pipe\\plumwick-board-" + std::to_wstring(GetCurrentProcessId());
    StatusBoardWriter writer(
        folder, L"SHOP-017", [] {}, 1);
    // Both names the writer opens are pipes that take a client and never read from it.
    win::UniqueFile temporary(CreateNamedPipeW(writer.TemporaryPath().c_str(), PIPE_ACCESS_INBOUND,
                                               PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(temporary);
    ASSERT_TRUE(writer.Start());
    const std::string big(256 * 1024, 'x'); // more than any pipe buffer holds
    ULONGLONG start = GetTickCount64();
    writer.Submit("{\"big\":\"" + big + "\"}");
    for (int i = 0; i < 20; ++i) {
        writer.Submit("{\"n\":" + std::to_string(i) + "}");
        Sleep(50);
    }
    EXPECT_LT(GetTickCount64() - start, 3000u);
    start = GetTickCount64();
    EXPECT_FALSE(writer.Finish("{}", 500));
    ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 450u);
    EXPECT_LT(waited, 1500u);
}
