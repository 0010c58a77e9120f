#include "win32/Strings_win.h"

#include "win32/Handles_win.h"

#include <climits>

namespace plumwick::win {

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::wstring ErrorText(DWORD error, HMODULE messages) {
    UniqueLocal<wchar_t*> buffer;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS | (messages ? FORMAT_MESSAGE_FROM_HMODULE : 0),
                       messages, error, 0, reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
    std::wstring text;
    if (length > 0 && buffer) {
        text.assign(buffer.get(), length);
        // Line ends, blanks, and a terminating NUL that some systems count in the length.
        while (!text.empty() && text.back() <= L' ') {
            text.pop_back();
        }
    } else {
        text = L"error " + std::to_wstring(error);
    }
    return text;
}

std::u16string SystemAnsiCodePage::ToUtf16(std::string_view bytes) const {
    std::u16string out;
    // Convert in slices so a huge input never overflows the int lengths of the API.
    constexpr std::size_t kSlice = 1 << 24;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t len = std::min(kSlice, bytes.size() - pos);
        // Do not cut a double-byte character in two.
        if (pos + len < bytes.size()) {
            std::size_t back = 0;
            while (back < len && IsDBCSLeadByte(static_cast<BYTE>(bytes[pos + len - 1 - back]))) {
                ++back;
            }
            if (back % 2 == 1) {
                --len;
            }
        }
        int wideLen = MultiByteToWideChar(CP_ACP, 0, bytes.data() + pos, static_cast<int>(len), nullptr, 0);
        if (wideLen > 0) {
            std::size_t old = out.size();
            out.resize(old + static_cast<std::size_t>(wideLen));
            MultiByteToWideChar(CP_ACP, 0, bytes.data() + pos, static_cast<int>(len),
                                reinterpret_cast<wchar_t*>(out.data() + old), wideLen);
        }
        pos += len;
    }
    return out;
}

std::optional<std::string> SystemAnsiCodePage::FromUtf16(std::u16string_view text) const {
    if (text.empty()) {
        return std::string();
    }
    if (text.size() > INT_MAX / 4) {
        return std::nullopt;
    }
    auto wide = reinterpret_cast<const wchar_t*>(text.data());
    BOOL usedDefault = FALSE;
    int len = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(text.size()), nullptr,
                                  0, nullptr, &usedDefault);
    if (len <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string out(static_cast<std::size_t>(len), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(text.size()), out.data(), len,
                        nullptr, &usedDefault);
    if (usedDefault) {
        return std::nullopt;
    }
    return out;
}

} // namespace plumwick::win
