#pragma once
// Where the settings file is read and written. The program folder's file is the shop's own, but the
// folder may not be writable (Program Files for a standard user, a locked-down PC); then a per-user copy
// in the same format takes over.
#include <string>
#include <string_view>

namespace plumwick {

enum class SettingsPlace { ProgramFolder, PerUser };

struct SettingsLocation {
    SettingsPlace readFrom;
    SettingsPlace saveTo;
    friend bool operator==(const SettingsLocation&, const SettingsLocation&) = default;
};

// The program folder's file while it can be written there. Otherwise the per-user copy when there is
// one; when there is none yet, the program folder's file is only read (its look is the shop's starting
// point) and the first save makes the per-user copy.
SettingsLocation ChooseSettingsLocation(bool programFileWritable, bool perUserCopyExists);

// What the notice says when the settings are kept per user, and when they could not be saved at all
// (`reason`: the call and the system's error text).
std::u16string SettingsKeptPerUserNotice(std::u16string_view perUserPath);
std::u16string SettingsNotSavedNotice(std::u16string_view path, std::u16string_view reason);

} // namespace plumwick
