#include "content/ScheduledRotation.h"

#include "common/TextUtil.h"
#include "rotation/Rotation.h"

#include <algorithm>

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
    return PickEligible(drawable.size(), r, [&](std::size_t i) { return drawable[i]; });
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

void ScheduledPublication::Publish(std::vector<std::u16string> relativePaths,
                                   std::vector<MessageOrigin> origins) {
    paths_ = std::move(relativePaths);
    origins_ = std::move(origins);
    gate_.Reset();
}

void ScheduledPublication::SetSchedule(std::optional<Schedule> schedule) {
    schedule_ = std::move(schedule);
}

std::optional<TickChoice> ScheduledPublication::Tick(const std::vector<std::u16string>& lines,
                                                     const LocalDateTime& now, double r) {
    if (!schedule_ || schedule_->rules.empty() || lines.size() != origins_.size()) {
        gate_.Reset(); // a schedule that comes back later takes a closed line down again
        return std::nullopt;
    }
    return gate_.Tick(lines, DrawableLines(lines, origins_, FilesInWindow(*schedule_, paths_, now)), r);
}

std::u16string ScheduleErrorNotice(const Schedule& schedule) {
    if (schedule.errors.empty()) {
        return {};
    }
    std::string text = "schedule.ini 有无法读取的行，其指定的文件不显示：\r\n"
                       "schedule.ini has lines that cannot be read; the files they name are not shown:";
    constexpr std::size_t kMaxTold = 5;
    for (std::size_t i = 0; i < schedule.errors.size() && i < kMaxTold; ++i) {
        text += "\r\n" + FormatScheduleError(schedule.errors[i]);
    }
    if (schedule.errors.size() > kMaxTold) {
        text += "\r\n(" + std::to_string(schedule.errors.size() - kMaxTold) + " more)";
    }
    return Utf8ToUtf16(text);
}

std::u16string ScheduleCaption(const Schedule& schedule, std::u16string_view relativePath) {
    const ScheduleRule* rule = FindScheduleRule(schedule, relativePath);
    return rule ? DescribeScheduleRule(*rule) : std::u16string();
}

} // namespace plumwick
