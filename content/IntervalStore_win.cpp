#include "content/IntervalStore_win.h"

#include "win32/Handles_win.h"

#include <algorithm>

namespace plumwick::win {

namespace {
constexpr wchar_t kKey[] = L"Software\\VB and VBA Program Settings\\plumwick\\InfoDir";
constexpr wchar_t kValue[] = L"time1";
// The value is a few digits; anything far longer was not written by this program.
constexpr DWORD kMaxValueBytes = 64 * 1024;

} // namespace

std::u16string IntervalStore::Read() {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return {};
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), kValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > kMaxValueBytes) {
        return {};
    }
    // Room for a terminator the stored data may lack; the value may also grow between the two calls.
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), kValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    text.resize(std::min<std::size_t>(bytes / sizeof(wchar_t), text.size()));
    std::size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) {
        text.resize(nul);
    }
    return std::u16string(text.begin(), text.end());
}

bool IntervalStore::Write(const std::u16string& value) {
    UniqueKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    std::wstring text(value.begin(), value.end());
    return RegSetValueExW(key.get(), kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace plumwick::win
