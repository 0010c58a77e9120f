#pragma once
// Conversions at the Win32 edge. wchar_t is UTF-16 on Windows, so std::u16string and std::wstring
// share their code units; the ANSI code page is the system's (CP_ACP).
#include "common/AnsiCodePage.h"
#include "win32/Windows_win.h"

#include <string>
#include <string_view>

namespace plumwick::win {

inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}
inline std::u16string ToU16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring WindowText(HWND window);
// With `messages`, that module's message table is asked first (WinHTTP keeps its texts in winhttp.dll).
std::wstring ErrorText(DWORD error, HMODULE messages = nullptr);

// The system's ANSI code page through MultiByteToWideChar / WideCharToMultiByte.
class SystemAnsiCodePage : public AnsiCodePage {
  public:
    std::u16string ToUtf16(std::string_view bytes) const override;
    std::optional<std::string> FromUtf16(std::u16string_view text) const override;
};

} // namespace plumwick::win
