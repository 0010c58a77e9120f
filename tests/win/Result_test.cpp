#include "win32/Result_win.h"

#include <gtest/gtest.h>

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
