#include "common/Monitors.h"

#include <string>

namespace plumwick {

namespace {

char16_t Lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<MonitorChoice> ParseMonitorChoice(std::u16string_view text) {
    text = Trimmed(text);
    if (text.empty() || SameName(text, u"primary")) {
        return MonitorChoice{};
    }
    if (SameName(text, u"secondary")) {
        return MonitorChoice{MonitorChoice::Kind::Secondary, 0};
    }
    // Windows numbers its displays from 1; more digits than any desktop has monitors is a typing slip.
    if (text.size() > 3) {
        return std::nullopt;
    }
    int number = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        number = number * 10 + (c - u'0');
    }
    if (number < 1) {
        return std::nullopt;
    }
    return MonitorChoice{MonitorChoice::Kind::Numbered, number};
}

std::u16string DisplayDeviceName(int number) {
    std::string digits = std::to_string(number);
    return u"\\\\.\\DISPLAY" + std::u16string(digits.begin(), digits.end());
}

std::optional<std::size_t> PrimaryMonitor(const std::vector<MonitorInfo>& monitors) {
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i].primary) {
            return i;
        }
    }
    if (monitors.empty()) {
        return std::nullopt;
    }
    return 0;
}

std::optional<std::size_t> FindMonitor(const std::vector<MonitorInfo>& monitors,
                                       std::u16string_view deviceName) {
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (SameName(monitors[i].deviceName, deviceName)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<MonitorPick> PickMonitor(const std::vector<MonitorInfo>& monitors,
                                       const MonitorChoice& choice) {
    std::optional<std::size_t> primary = PrimaryMonitor(monitors);
    if (!primary) {
        return std::nullopt;
    }
    switch (choice.kind) {
    case MonitorChoice::Kind::Primary:
        return MonitorPick{*primary, false};
    case MonitorChoice::Kind::Secondary:
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            if (i != *primary) {
                return MonitorPick{i, false};
            }
        }
        break;
    case MonitorChoice::Kind::Numbered:
        if (std::optional<std::size_t> found = FindMonitor(monitors, DisplayDeviceName(choice.number))) {
            return MonitorPick{*found, false};
        }
        break;
    }
    return MonitorPick{*primary, true};
}

} // namespace plumwick
