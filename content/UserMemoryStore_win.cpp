#include "content/UserMemoryStore_win.h"

#include "display/DisplayPlace.h"
#include "win32/Handles_win.h"
#include "win32/Strings_win.h"

#include <algorithm>

namespace plumwick::win {

namespace {

constexpr wchar_t kApplicationKey[] = L"Software\\VB and VBA Program Settings\\plumwick\\";
constexpr wchar_t kPublicationSection[] = L"LastPublication";
constexpr wchar_t kFilesValue[] = L"Files";
constexpr wchar_t kSplitValue[] = L"Split";
constexpr wchar_t kPlaceSection[] = L"DisplayPlace";
constexpr wchar_t kIntervalSection[] = L"InfoDir";
constexpr wchar_t kIntervalValue[] = L"time1";
constexpr wchar_t kTopValue[] = L"Top";
// A file list of a few thousand paths; anything far longer was not written by this program.
constexpr DWORD kMaxValueBytes = 4 * 1024 * 1024;

std::wstring SectionKey(const wchar_t* section) {
    return std::wstring(kApplicationKey) + section;
}

std::wstring Failure(const wchar_t* call, LONG status) {
    return std::wstring(call) + L": " + ErrorText(static_cast<DWORD>(status));
}

} // namespace

std::u16string UserMemoryStore::Read(const wchar_t* section, const wchar_t* value) {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > kMaxValueBytes) {
        return {};
    }
    // Room for a terminator the stored data may lack; the value may also grow between the two calls.
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), value, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    text.resize(std::min<std::size_t>(bytes / sizeof(wchar_t), text.size()));
    std::size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) {
        text.resize(nul);
    }
    return ToU16(text);
}

bool UserMemoryStore::Write(const wchar_t* section, const wchar_t* value, const std::u16string& text,
                            std::wstring& problem) {
    UniqueKey key;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        problem = Failure(L"RegCreateKeyExW", status);
        return false;
    }
    std::wstring wide = ToWide(text);
    status = RegSetValueExW(key.get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                            static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        problem = Failure(L"RegSetValueExW", status);
        return false;
    }
    return true;
}

std::optional<RememberedPublication> UserMemoryStore::ReadPublication() {
    RememberedPublication publication;
    publication.files = DecodeFileList(Read(kPublicationSection, kFilesValue));
    if (publication.files.empty()) {
        return std::nullopt;
    }
    publication.option = DecodeSplitOption(Read(kPublicationSection, kSplitValue));
    return publication;
}

bool UserMemoryStore::WritePublication(const RememberedPublication& publication, std::wstring& problem) {
    // The option first: a list without its option would come back with the default split.
    return Write(kPublicationSection, kSplitValue, EncodeSplitOption(publication.option), problem) &&
           Write(kPublicationSection, kFilesValue, EncodeFileList(publication.files), problem);
}

std::optional<int> UserMemoryStore::ReadDisplayTop() {
    return DecodeDisplayTop(Read(kPlaceSection, kTopValue));
}

bool UserMemoryStore::WriteDisplayTop(int topPx, std::wstring& problem) {
    return Write(kPlaceSection, kTopValue, EncodeDisplayTop(topPx), problem);
}

std::u16string UserMemoryStore::ReadInterval() {
    return Read(kIntervalSection, kIntervalValue);
}

bool UserMemoryStore::WriteInterval(const std::u16string& seconds) {
    std::wstring problem;
    return Write(kIntervalSection, kIntervalValue, seconds, problem);
}

} // namespace plumwick::win
