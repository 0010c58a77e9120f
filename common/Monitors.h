#pragma once
// The monitors the desktop has, and which of them the display goes on. Monitors are told apart by their
// device name ("\\.\DISPLAY2"): rectangles may overlap or be equal, so a position says nothing about which
// monitor is meant, and a monitor that went away and came back keeps its name.
#include "common/PixelRect.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

struct MonitorInfo {
    std::u16string deviceName;
    PixelRect rect; // the whole monitor, in virtual-screen pixels
    PixelRect work; // the part the taskbar and docked bars leave
    unsigned dpi = 96;
    bool primary = false;
    bool operator==(const MonitorInfo&) const = default;
};

// shop.ini's Monitor: "primary" (also empty), "secondary" (the first monitor that is not the primary), or
// a number n meaning the monitor named \\.\DISPLAYn.
struct MonitorChoice {
    enum class Kind { Primary, Secondary, Numbered };
    Kind kind = Kind::Primary;
    int number = 0;
    bool operator==(const MonitorChoice&) const = default;
};

// Nothing for text that is none of those (the caller falls back to the primary and says so).
std::optional<MonitorChoice> ParseMonitorChoice(std::u16string_view text);
// "\\.\DISPLAYn"
std::u16string DisplayDeviceName(int number);

// The monitor the display goes on: its device name when the choice names one that exists; otherwise the
// primary's, with `missing` set. Nothing only for an empty list.
struct MonitorPick {
    std::size_t index = 0;
    bool missing = false; // the chosen monitor is not there: the primary stands in
};
std::optional<MonitorPick> PickMonitor(const std::vector<MonitorInfo>& monitors, const MonitorChoice& choice);

// The primary monitor (the first one when none says so); nothing for an empty list.
std::optional<std::size_t> PrimaryMonitor(const std::vector<MonitorInfo>& monitors);
// The monitor of that device name, compared without regard to case.
std::optional<std::size_t> FindMonitor(const std::vector<MonitorInfo>& monitors,
                                       std::u16string_view deviceName);

} // namespace plumwick
