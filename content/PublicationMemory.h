#pragma once
// The last successful publication, remembered per user so the display comes back by itself after a
// restart: the ticked files by their path below the content folder, and the split option.
#include "content/ContentText.h"
#include "content/FolderScan.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

struct RememberedPublication {
    std::vector<std::u16string> files; // relative to the content folder, "sub\a.txt"
    SplitOption option = SplitOption::SingleBreak;
    bool operator==(const RememberedPublication&) const = default;
};

// The stored values. Files are joined with '|', which no Windows file name holds; the option is "1"
// for the blank-line split, "0" otherwise.
std::u16string EncodeFileList(const std::vector<std::u16string>& files);
std::vector<std::u16string> DecodeFileList(std::u16string_view stored);
std::u16string EncodeSplitOption(SplitOption option);
SplitOption DecodeSplitOption(std::u16string_view stored);

// The path of a listed file below the content folder (which ends in its separator); nothing for a file
// outside it.
std::optional<std::u16string> RelativeToContentFolder(std::u16string_view contentFolder,
                                                      const ContentEntry& entry);

// The publication as it is remembered: the ticked entries, in list order.
RememberedPublication RememberPublication(std::u16string_view contentFolder,
                                          const std::vector<ContentEntry>& entries,
                                          const std::vector<bool>& ticks, SplitOption option);

// The ticks that bring a remembered publication back on a fresh scan. Names compare as Windows compares
// them (ASCII letters without case); a file that has gone is simply not ticked.
std::vector<bool> RestoreTicks(std::u16string_view contentFolder, const std::vector<ContentEntry>& entries,
                               const std::vector<std::u16string>& files);

// What the start does with a remembered publication: publish it again, hidden and without message
// boxes, when at least one of its files is still listed and the stored interval is valid; otherwise show
// the content manager as on a first start (with whatever ticks could be restored).
struct RestorePlan {
    bool publish = false;
    bool skipped = false; // there was one to publish, but an earlier start's attempt never finished
    std::vector<bool> ticks;
    SplitOption option = SplitOption::SingleBreak;
    int intervalSeconds = 0;
};
RestorePlan PlanRestore(std::u16string_view contentFolder, const std::vector<ContentEntry>& entries,
                        const std::optional<RememberedPublication>& remembered,
                        std::u16string_view storedInterval);

// A restore that was under way when the process last ended (it died in it, or it failed) is not tried
// again: a publication that takes the program down would otherwise do so at every start, unattended. The
// mark is stored before a restore starts and cleared when it has finished; "1" means it never finished.
// The plan then publishes nothing and keeps its ticks, so the operator sees what was published before.
inline constexpr std::u16string_view kRestoreUnderway = u"1";
inline constexpr std::u16string_view kRestoreFinished = u"0";
RestorePlan SkipUnfinishedRestore(RestorePlan plan, std::u16string_view storedMark);

// The notice the operator gets instead of the skipped restore.
std::u16string RestoreSkippedNotice();

} // namespace plumwick
