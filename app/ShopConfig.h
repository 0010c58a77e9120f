#pragma once
// The shop's own details, from the operator-editable file data\system\shop.ini: "Key=Value" lines with
// the keys ShopName, WebAddress, HomePage, UnlockHotkey, ContentFolder, Monitor and StatusFolder. Operators
// edit it in Notepad, so it may be UTF-8 (with or without a byte-order mark), UTF-16 behind its byte-order
// mark, or the ANSI code page.
#include "common/AnsiCodePage.h"

#include <string>
#include <string_view>

namespace plumwick {

struct ShopConfig {
    std::u16string shopName;
    std::u16string webAddress;
    // Address opened from the about window; empty means the bundled page help\index.html beside the program.
    std::u16string homePage;
    // The hotkey that unlocks a locked display, as a hotkey specification ("Ctrl+Alt,87"); whether it is
    // usable is decided where it is registered.
    std::u16string unlockHotkey = u"Ctrl+Alt,87";
    // Where the content files are, as written (see ResolveContentFolder); empty: Text\ beside the program.
    std::u16string contentFolder;
    // The monitor the display goes on, as written: "primary" (also empty), "secondary" or a display number
    // (see ParseMonitorChoice).
    std::u16string monitor;
    // The folder every display writes its status file into (a share each PC can write), as written; empty:
    // no status file.
    std::u16string statusFolder;
};

ShopConfig DefaultShopConfig();

// Blank lines and lines starting with ';' or '#' are skipped; keys are case-insensitive, values trimmed,
// the last occurrence of a key wins. Keys that are missing keep their defaults; a key given with an empty
// value is empty.
ShopConfig ParseShopConfig(std::string_view bytes, const AnsiCodePage& codePage);

// The line shown at start-up: shop name, one blank, web address, one blank, "欢迎您的光临".
std::u16string WelcomeLine(const ShopConfig& config);

} // namespace plumwick
