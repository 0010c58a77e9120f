#pragma once
// The per-user memory in HKEY_CURRENT_USER\Software\VB and VBA Program Settings\plumwick, each in a
// section of its own: "InfoDir" (value "time1") the message interval in whole seconds, as a decimal
// string; "LastPublication" (values "Files" and "Split") the last successful publication; "DisplayPlace"
// (value "Top") the display's vertical place after a drag.
#include "content/PublicationMemory.h"

#include <optional>
#include <string>

namespace plumwick::win {

class UserMemoryStore {
  public:
    // The stored interval text, or an empty string when nothing (or no string) is stored.
    static std::u16string ReadInterval();
    static bool WriteInterval(const std::u16string& seconds);

    // Nothing when no publication was remembered yet (or what is stored names no file).
    static std::optional<RememberedPublication> ReadPublication();
    // On failure `problem` says which call failed and the system's reason.
    static bool WritePublication(const RememberedPublication& publication, std::wstring& problem);

    // The main text window's top in screen pixels; nothing when no drag was remembered.
    static std::optional<int> ReadDisplayTop();
    static bool WriteDisplayTop(int topPx, std::wstring& problem);

    // One string value of a section; empty when missing or not a string.
    static std::u16string Read(const wchar_t* section, const wchar_t* value);
    static bool Write(const wchar_t* section, const wchar_t* value, const std::u16string& text,
                      std::wstring& problem);
};

} // namespace plumwick::win
