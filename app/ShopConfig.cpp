#include "app/ShopConfig.h"

#include "common/TextUtil.h"

namespace plumwick {

namespace {

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    auto lower = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

ShopConfig DefaultShopConfig() {
    return ShopConfig{u"梅溪小店", u"www.plumwick.example", u"", u"Ctrl+Alt,87", u"", u"", u""};
}

ShopConfig ParseShopConfig(std::string_view bytes, const AnsiCodePage& codePage) {
    ShopConfig config = DefaultShopConfig();
    std::u16string text = DecodeTextBytes(bytes, codePage);
    std::u16string_view rest = text;
    while (!rest.empty()) {
        std::size_t end = rest.find_first_of(u"\r\n");
        std::u16string_view line = TrimBlanks(rest.substr(0, end));
        rest = end == std::u16string_view::npos ? std::u16string_view{} : rest.substr(end + 1);

        if (line.empty() || line.front() == u';' || line.front() == u'#') {
            continue;
        }
        std::size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos) {
            continue;
        }
        std::u16string_view key = TrimBlanks(line.substr(0, equals));
        std::u16string value(TrimBlanks(line.substr(equals + 1)));
        if (EqualsIgnoringCase(key, u"ShopName")) {
            config.shopName = std::move(value);
        } else if (EqualsIgnoringCase(key, u"WebAddress")) {
            config.webAddress = std::move(value);
        } else if (EqualsIgnoringCase(key, u"HomePage")) {
            config.homePage = std::move(value);
        } else if (EqualsIgnoringCase(key, u"UnlockHotkey")) {
            config.unlockHotkey = std::move(value);
        } else if (EqualsIgnoringCase(key, u"ContentFolder")) {
            config.contentFolder = std::move(value);
        } else if (EqualsIgnoringCase(key, u"Monitor")) {
            config.monitor = std::move(value);
        } else if (EqualsIgnoringCase(key, u"StatusFolder")) {
            config.statusFolder = std::move(value);
        }
    }
    return config;
}

std::u16string WelcomeLine(const ShopConfig& config) {
    return config.shopName + u" " + config.webAddress + u" " + u"欢迎您的光临";
}

} // namespace plumwick
