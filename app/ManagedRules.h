#pragma once
// What each value an administrator may set has to be, beyond its kind and range: the rules its reader
// already applies to shop.ini, the settings file and the user's memory, so a value no source could give
// is refused from the registry too.
#include "store/ManagedValues.h"

#include <functional>
#include <string>
#include <string_view>

namespace plumwick {

// Expands environment variables (%PUBLIC%, %OneDrive%) as the program does for shop.ini's paths.
using ExpandVariables = std::function<std::u16string(std::u16string_view)>;

// `programFolder` without its trailing separator.
ManagedRule ProgramRules(std::u16string programFolder, ExpandVariables expand);

} // namespace plumwick
