#pragma once
// What a click on the about window may open. The address comes from shop.ini, which anyone who can write
// the program folder can edit, and goes to the shell's "open": a program path there would run. Only web
// addresses and pages of the program folder are opened.
#include <optional>
#include <string>
#include <string_view>

namespace plumwick {

struct HomePageChoice {
    std::u16string target;                // what the shell opens
    std::optional<std::u16string> notice; // why the configured address was not taken, for the operator
};

// `configured` is shop.ini's HomePage; `programFolder` the folder of the program (no trailing '\').
// Empty opens the bundled help\index.html. An http:// or https:// address opens as it is; an .html file
// inside the program folder (written relative to it, or in full) opens as that file. Anything else opens
// the bundled help, with a notice.
HomePageChoice ChooseHomePage(std::u16string_view configured, std::u16string_view programFolder);

} // namespace plumwick
