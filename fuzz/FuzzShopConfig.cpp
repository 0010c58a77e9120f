// shop.ini is edited by hand in Notepad. Whatever it holds, reading it gives one-line values, and the home
// page it names is opened only when it is a web address or a page of the program folder.
#include "about/HomePage.h"
#include "app/ShopConfig.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace plumwick;

constexpr std::u16string_view kFolder = u"C:\\Program Files\\plumwick";

bool OneLine(const std::u16string& value) {
    return value.find_first_of(u"\r\n") == std::u16string::npos;
}

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return Lower(a) == Lower(b); });
}

void CheckHomePage(std::u16string_view configured) {
    const HomePageChoice choice = ChooseHomePage(configured, kFolder);
    const std::u16string help = std::u16string(kFolder) + u"\\help\\index.html";
    if (choice.notice) {
        FUZZ_CHECK(choice.target == help);
        return;
    }
    if (configured.empty()) {
        FUZZ_CHECK(choice.target == help);
        return;
    }
    const bool web =
        StartsWithNoCase(choice.target, u"http://") || StartsWithNoCase(choice.target, u"https://");
    if (web) {
        // Opened as written, and nothing in it could end the address or start a command line.
        FUZZ_CHECK(choice.target == configured);
        FUZZ_CHECK(choice.target.find_first_of(u" \"\t\r\n") == std::u16string::npos);
        return;
    }
    // A page of the program folder: below it, an .html file, no part that climbs or names a stream.
    const std::u16string& page = choice.target;
    FUZZ_CHECK(page.starts_with(std::u16string(kFolder) + u"\\"));
    FUZZ_CHECK(page.size() > 5 &&
               StartsWithNoCase(std::u16string_view(page).substr(page.size() - 5), u".html"));
    const std::u16string_view below = std::u16string_view(page).substr(kFolder.size());
    FUZZ_CHECK(below.find(u"\\..\\") == std::u16string_view::npos &&
               below.find(u"\\.\\") == std::u16string_view::npos);
    FUZZ_CHECK(below.find(u':') == std::u16string_view::npos &&
               below.find(u"\\\\") == std::u16string_view::npos);
    FUZZ_CHECK(page.find(u'"') == std::u16string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::FuzzCodePage codePage;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ShopConfig config = ParseShopConfig(bytes, codePage);
    for (const std::u16string* value : {&config.shopName, &config.webAddress, &config.homePage,
                                        &config.unlockHotkey, &config.contentFolder}) {
        FUZZ_CHECK(OneLine(*value));
    }
    FUZZ_CHECK(OneLine(WelcomeLine(config)));
    CheckHomePage(config.homePage);
    // The value as a raw text too, unrestricted by the reader's trimming and line cuts.
    CheckHomePage(fuzz::Utf16Units(data, size));
    return 0;
}
