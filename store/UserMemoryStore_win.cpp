#include "store/UserMemoryStore_win.h"

#include "store/ManagedStore_win.h"

#include "win32/Handles_win.h"
#include "win32/Strings_win.h"

#include <algorithm>

namespace plumwick::win {

namespace {

constexpr wchar_t kApplicationKey[] = L"Software\\VB and VBA Program Settings\\plumwick\\";

std::wstring SectionKey(const StoreKey& key) {
    return std::wstring(kApplicationKey) + ToWide(key.section);
}

bool IsString(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

} // namespace

std::optional<std::u16string> UserRegistry::Read(const StoreKey& key) const {
    if (key.section.empty()) {
        return std::nullopt; // a value only the administrator or shop.ini gives
    }
    UniqueKey opened;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(key).c_str(), 0, KEY_QUERY_VALUE, opened.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring name = ToWide(key.name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        !IsString(type) || size > key.maxBytes) {
        return std::nullopt;
    }
    // Room for a terminator the stored data may lack; the value may also grow between the two calls.
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &bytes) != ERROR_SUCCESS ||
        !IsString(type)) {
        return std::nullopt;
    }
    text.resize(std::min<std::size_t>(bytes / sizeof(wchar_t), text.size()));
    std::size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) {
        text.resize(nul);
    }
    return ToU16(text);
}

Result UserRegistry::Write(const StoreKey& key, const std::u16string& text) const {
    UniqueKey opened;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, opened.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        return Result::Failed(L"RegCreateKeyExW", static_cast<DWORD>(status));
    }
    std::wstring wide = ToWide(text);
    std::wstring name = ToWide(key.name);
    status =
        RegSetValueExW(opened.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                       static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        return Result::Failed(L"RegSetValueExW", static_cast<DWORD>(status));
    }
    return {};
}

std::u16string ReadValue(const StoreKey& key) {
    return ReadAdministered(key).value_or(std::u16string());
}

Result WriteValue(const StoreKey& key, const std::u16string& text) {
    return UserRegistry().Write(key, text);
}

} // namespace plumwick::win
