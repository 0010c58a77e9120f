#pragma once
// The values an administrator can set for every PC: by policy under kPolicyKey, machine-wide under
// kMachineKey. One table, so the policy templates, the installer's properties and the readers agree on
// every name, type and range.
#include <cstddef>
#include <span>
#include <string_view>

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

} // namespace plumwick
