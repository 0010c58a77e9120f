#pragma once
// The values an administrator can set for every PC: by policy under kPolicyKey, machine-wide under
// kMachineKey. One table, so the policy templates, the installer's properties and the readers agree on
// every name, type and range.
#include "store/SettingsFile.h"
#include "store/StoredValue.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plumwick {

// Below HKEY_LOCAL_MACHINE.
inline constexpr std::u16string_view kPolicyKey = u"Software\\Policies\\plumwick";
inline constexpr std::u16string_view kMachineKey = u"Software\\plumwick";

enum class ManagedKind {
    Text,   // REG_SZ
    Number, // REG_DWORD in minValue..maxValue
    Choice, // REG_DWORD, one of `choices`
    Flag,   // REG_DWORD, 0 or 1
};

struct ManagedValue {
    std::u16string_view name; // the registry value name
    ManagedKind kind;
    unsigned minValue = 0;
    unsigned maxValue = 0;
    std::span<const unsigned> choices;
    std::u16string_view defaultValue; // as text; empty when the program has none of its own
};

std::span<const ManagedValue> ManagedValues();

// The entry named `name`, or nullptr. Exact case: the templates and the installer spell every name as
// the program does.
const ManagedValue* FindManagedValue(std::u16string_view name);

// A value as the registry holds it.
struct RegistryData {
    enum class Type { String, Number, Other };
    Type type = Type::Other;
    std::u16string text;      // REG_SZ, REG_EXPAND_SZ
    std::uint32_t number = 0; // REG_DWORD
};

// What the reader of a value asks beyond its kind and range (a hotkey that parses, a folder the program
// can use): the problem with `value`, nothing when it is good.
using ManagedRule =
    std::function<std::optional<std::u16string>(const ManagedValue& entry, std::u16string_view value)>;

struct ManagedReading {
    ValueTable values;
    std::vector<std::u16string> problems; // one per value ignored, naming it
};

// The values read below one key, each checked against the table and then `rule`; a bad one is left out
// and named in the problems. Names the table does not hold are not the program's and are passed over;
// an empty text is no value. A number may also be written as decimal text (reg add without /t).
ManagedReading CheckManagedValues(ValueOrigin origin,
                                  const std::vector<std::pair<std::u16string, RegistryData>>& read,
                                  const ManagedRule& rule = {});

// Which parts of the look the user chose in the toolbar (the scheme) or the font dialog (name and size).
// Kept per user: the settings file beside the program is the shop's until then.
inline constexpr StoreKey kFontChosenKey{u"LookChosen", u"Font"};
inline constexpr StoreKey kSchemeChosenKey{u"LookChosen", u"Scheme"};
struct LookChoice {
    bool font = false;
    bool scheme = false;
};

// The look shown: each part from the policy, the user's own choice (the file's value, when chosen), the
// machine-wide value, then the settings file's.
Settings AdministeredLook(const Settings& file, LookChoice chosen, const ValueSource& policy,
                          const ValueSource& machine);
// What the settings file keeps: the parts the user just changed from the look shown, the rest as the file
// had them, so a value an administrator sets never becomes the shop's or the user's own.
Settings LookToKeep(const Settings& file, const Settings& shown, LookChoice changed);

// The Publication each source holds, empty where one holds none.
struct PublicationSources {
    std::u16string policy;
    std::u16string user;
    std::u16string machine;
};
// Whether a Publication changed while the program runs is published at once: a policy's whenever the
// publication in force changes, a machine-wide one only while neither a policy nor the user's own stands
// over it, as at start. A change that leaves the user's own in force publishes nothing.
bool PublishesManagedPublication(const PublicationSources& before, const PublicationSources& after);

// The notice for values ignored, and the one for values the administrator set, which the toolbar, the font
// dialog and the content manager then show but do not change.
std::u16string IgnoredManagedValuesNotice(const std::vector<std::u16string>& problems);
std::u16string AdministratorSetNotice(const std::vector<std::u16string>& names);

} // namespace plumwick
