#include "content/ScheduledRotation.h"

#include <algorithm>
#include <cmath>

namespace plumwick {

std::vector<bool> FilesInWindow(const Schedule& schedule, const std::vector<std::u16string>& relativePaths,
                                const LocalDateTime& now) {
    std::vector<bool> open;
    open.reserve(relativePaths.size());
    for (const std::u16string& path : relativePaths) {
        open.push_back(FileInWindow(schedule, path, now));
    }
    return open;
}

std::vector<bool> DrawableLines(const std::vector<std::u16string>& lines,
                                const std::vector<MessageOrigin>& origins,
                                const std::vector<bool>& filesInWindow) {
    std::vector<bool> drawable(lines.size(), false);
    for (std::size_t i = 0; i < lines.size() && i < origins.size(); ++i) {
        const MessageOrigin& origin = origins[i];
        if (lines[i].empty() || origin.lastFile >= filesInWindow.size() ||
            origin.firstFile > origin.lastFile) {
            continue;
        }
        drawable[i] = std::all_of(filesInWindow.begin() + static_cast<std::ptrdiff_t>(origin.firstFile),
                                  filesInWindow.begin() + static_cast<std::ptrdiff_t>(origin.lastFile) + 1,
                                  [](bool open) { return open; });
    }
    return drawable;
}

std::optional<std::size_t> PickDrawable(const std::vector<bool>& drawable, double r) {
    const std::size_t count = static_cast<std::size_t>(std::count(drawable.begin(), drawable.end(), true));
    if (count == 0) {
        return std::nullopt;
    }
    std::size_t k = 0;
    if (r > 0.0) {
        double scaled = std::floor(r * static_cast<double>(count));
        k = scaled >= static_cast<double>(count - 1) ? count - 1 : static_cast<std::size_t>(scaled);
    }
    for (std::size_t i = 0; i < drawable.size(); ++i) {
        if (drawable[i] && k-- == 0) {
            return i;
        }
    }
    return std::nullopt;
}

TickChoice ScheduleGate::Tick(const std::vector<std::u16string>& lines, const std::vector<bool>& drawable,
                              double r) {
    if (std::optional<std::size_t> pick = PickDrawable(drawable, r)) {
        cleared_ = false;
        return {TickChoice::Action::Draw, *pick};
    }
    const bool anyLine =
        std::any_of(lines.begin(), lines.end(), [](const auto& line) { return !line.empty(); });
    if (!anyLine || cleared_) {
        return {};
    }
    cleared_ = true;
    return {TickChoice::Action::Clear, 0};
}

} // namespace plumwick
