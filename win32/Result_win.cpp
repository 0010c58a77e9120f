#include "win32/Result_win.h"

#include "win32/Strings_win.h"

#include <atomic>

namespace plumwick::win {

namespace {
std::atomic<FailureListener> g_failureListener{nullptr};
} // namespace

void SetFailureListener(FailureListener listener) {
    g_failureListener = listener;
}

Result Result::Failed(std::wstring call, DWORD error) {
    return Failed(std::move(call), error, nullptr);
}

Result Result::Failed(std::wstring call, DWORD error, HMODULE messages) {
    Result result;
    result.call_ = call.empty() ? std::wstring(L"?") : std::move(call);
    result.reason_ = ErrorText(error, messages);
    if (FailureListener listener = g_failureListener) {
        listener(result);
    }
    return result;
}

Result Result::LastError(std::wstring call) {
    DWORD error = GetLastError();
    return Failed(std::move(call), error);
}

std::wstring Result::Text() const {
    return Ok() ? std::wstring() : call_ + L" failed: " + reason_;
}

} // namespace plumwick::win
