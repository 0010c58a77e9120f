#include "content/PublicationMemory.h"

#include <algorithm>

namespace plumwick {

namespace {

constexpr char16_t kFileSeparator = u'|';

char16_t FoldCase(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return FoldCase(x) == FoldCase(y);
           });
}

} // namespace

std::u16string EncodeFileList(const std::vector<std::u16string>& files) {
    std::u16string stored;
    for (const std::u16string& file : files) {
        if (!stored.empty()) {
            stored.push_back(kFileSeparator);
        }
        stored += file;
    }
    return stored;
}

std::vector<std::u16string> DecodeFileList(std::u16string_view stored) {
    std::vector<std::u16string> files;
    while (!stored.empty()) {
        std::size_t cut = stored.find(kFileSeparator);
        std::u16string_view file = stored.substr(0, cut);
        if (!file.empty()) {
            files.emplace_back(file);
        }
        if (cut == std::u16string_view::npos) {
            break;
        }
        stored.remove_prefix(cut + 1);
    }
    return files;
}

std::u16string EncodeSplitOption(SplitOption option) {
    return option == SplitOption::DoubleBreak ? u"1" : u"0";
}

SplitOption DecodeSplitOption(std::u16string_view stored) {
    return stored == u"1" ? SplitOption::DoubleBreak : SplitOption::SingleBreak;
}

std::optional<std::u16string> RelativeToContentFolder(std::u16string_view contentFolder,
                                                      const ContentEntry& entry) {
    std::u16string full = entry.folder + entry.caption;
    if (contentFolder.empty() || full.size() <= contentFolder.size() ||
        !SameName(std::u16string_view(full).substr(0, contentFolder.size()), contentFolder)) {
        return std::nullopt;
    }
    return full.substr(contentFolder.size());
}

RememberedPublication RememberPublication(std::u16string_view contentFolder,
                                          const std::vector<ContentEntry>& entries,
                                          const std::vector<bool>& ticks, SplitOption option) {
    RememberedPublication remembered;
    remembered.option = option;
    for (std::size_t i = 0; i < entries.size() && i < ticks.size(); ++i) {
        if (!ticks[i]) {
            continue;
        }
        if (std::optional<std::u16string> relative = RelativeToContentFolder(contentFolder, entries[i])) {
            remembered.files.push_back(std::move(*relative));
        }
    }
    return remembered;
}

std::vector<bool> RestoreTicks(std::u16string_view contentFolder, const std::vector<ContentEntry>& entries,
                               const std::vector<std::u16string>& files) {
    std::vector<bool> ticks(entries.size(), false);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::optional<std::u16string> relative = RelativeToContentFolder(contentFolder, entries[i]);
        if (!relative) {
            continue;
        }
        ticks[i] = std::any_of(files.begin(), files.end(),
                               [&](const std::u16string& file) { return SameName(file, *relative); });
    }
    return ticks;
}

RestorePlan PlanRestore(std::u16string_view contentFolder, const std::vector<ContentEntry>& entries,
                        const std::optional<RememberedPublication>& remembered,
                        std::u16string_view storedInterval) {
    RestorePlan plan;
    plan.ticks.assign(entries.size(), false);
    if (!remembered) {
        return plan;
    }
    // The ticks come back even when the publication cannot: the operator then finds them set.
    plan.ticks = RestoreTicks(contentFolder, entries, remembered->files);
    plan.option = remembered->option;
    std::optional<int> seconds = ParseInterval(storedInterval);
    if (!seconds) {
        return plan;
    }
    plan.intervalSeconds = *seconds;
    plan.publish = std::find(plan.ticks.begin(), plan.ticks.end(), true) != plan.ticks.end();
    return plan;
}

RestorePlan SkipUnfinishedRestore(RestorePlan plan, std::u16string_view storedMark) {
    if (plan.publish && storedMark == kRestoreUnderway) {
        plan.publish = false;
        plan.skipped = true;
    }
    return plan;
}

std::u16string RestoreSkippedNotice() {
    return u"上次启动时未能恢复发布的内容，这次不再自动发布。请在内容管理窗口中重新选择并发布。\r\n"
           u"The remembered publication did not come back at the last start, so it was not tried again: "
           u"tick the files and publish them in the content manager.";
}

} // namespace plumwick
