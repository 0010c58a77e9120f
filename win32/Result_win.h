#pragma once
// What a step that can fail reports, the one way throughout the program: success, or the Win32 call that
// failed with the system's text for why ("CreateFileW failed: Access is denied.").
#include "win32/Windows_win.h"

#include <string>

namespace plumwick::win {

class [[nodiscard]] Result {
  public:
    Result() = default; // success

    // The call failed with this error code (GetLastError(), or the status a registry call returns).
    static Result Failed(std::wstring call, DWORD error);
    // The same, with the reason from that module's message table first (WinHTTP's errors).
    static Result Failed(std::wstring call, DWORD error, HMODULE messages);
    // The call failed; GetLastError() says why (read first, before anything can change it).
    static Result LastError(std::wstring call);

    bool Ok() const { return call_.empty(); }
    explicit operator bool() const { return Ok(); }
    const std::wstring& Call() const { return call_; }
    const std::wstring& Reason() const { return reason_; }
    // "Call failed: reason"; empty on success.
    std::wstring Text() const;

    bool operator==(const Result&) const = default;

  private:
    std::wstring call_;
    std::wstring reason_;
};

// Told of every failure as it is made (the program writes them to its log); none by default. Called on
// the thread that made the failure; the listener must not make failures itself.
using FailureListener = void (*)(const Result& failure);
void SetFailureListener(FailureListener listener);

} // namespace plumwick::win
