#include "win32/Result_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using plumwick::win::Result;

TEST(Result, NamesTheFailedCallWithTheSystemsTextAndIsEmptyOnSuccess) {
    Result ok;
    EXPECT_TRUE(ok);
    EXPECT_TRUE(ok.Text().empty());

    Result denied = Result::Failed(L"RegCreateKeyExW", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(denied);
    EXPECT_EQ(denied.Call(), L"RegCreateKeyExW");
    EXPECT_FALSE(denied.Reason().empty());
    EXPECT_EQ(denied.Text(), L"RegCreateKeyExW failed: " + denied.Reason());
    // The same failure twice is the same result (a notice said once stays said).
    EXPECT_EQ(denied, Result::Failed(L"RegCreateKeyExW", ERROR_ACCESS_DENIED));
    EXPECT_NE(denied, Result::Failed(L"RegSetValueExW", ERROR_ACCESS_DENIED));

    SetLastError(ERROR_FILE_NOT_FOUND);
    Result missing = Result::LastError(L"CreateFileW");
    EXPECT_EQ(missing, Result::Failed(L"CreateFileW", ERROR_FILE_NOT_FOUND));
}

namespace {
std::vector<std::wstring> g_heard;
void Hear(const Result& failure) {
    g_heard.push_back(failure.Text());
}
} // namespace

// The program's log hears every failure as it is made, and only failures.
TEST(Result, EveryFailureReachesTheListener) {
    g_heard.clear();
    plumwick::win::SetFailureListener(Hear);
    Result ok;
    SetLastError(ERROR_ACCESS_DENIED);
    Result denied = Result::LastError(L"CreateFileW");
    Result missing = Result::Failed(L"RegOpenKeyExW", ERROR_FILE_NOT_FOUND);
    plumwick::win::SetFailureListener(nullptr);
    Result unheard = Result::Failed(L"WriteFile", ERROR_DISK_FULL);
    ASSERT_EQ(g_heard.size(), 2u);
    EXPECT_EQ(g_heard[0], denied.Text());
    EXPECT_EQ(g_heard[1], missing.Text());
}
