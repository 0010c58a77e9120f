#pragma once
// What a rotation tick may draw when schedule.ini restricts when files are shown: only lines whose every
// file is in its window now, and when none is, the shown line is taken down rather than left up (an
// offer that ended at 10:30 must not stay on the counter all day).
#include "content/ContentText.h"
#include "content/Schedule.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace plumwick {

// For each published file (its path below the content folder, in publish order): may its lines be shown
// at the given wall time.
std::vector<bool> FilesInWindow(const Schedule& schedule, const std::vector<std::u16string>& relativePaths,
                                const LocalDateTime& now);

// For each line: it is non-empty and every file it comes from is in its window. A line whose origin names
// a file beyond filesInWindow is not drawn.
std::vector<bool> DrawableLines(const std::vector<std::u16string>& lines,
                                const std::vector<MessageOrigin>& origins,
                                const std::vector<bool>& filesInWindow);

// The k-th drawable line with k = floor(r * count), r uniform in [0, 1) (clamped), as the unscheduled
// pick chooses among the non-empty lines; nothing when no line is drawable.
std::optional<std::size_t> PickDrawable(const std::vector<bool>& drawable, double r);

struct TickChoice {
    enum class Action {
        Draw,    // draw line `index`
        Clear,   // take the shown line down: nothing may be shown now
        Nothing, // leave the display as it is
    };
    Action action = Action::Nothing;
    std::size_t index = 0;
    bool operator==(const TickChoice&) const = default;
};

// Remembers whether the rotation has taken its line down, so that it does so once when the last window
// closes (a line another program sends meanwhile stays) and draws again as soon as one opens.
class ScheduleGate {
  public:
    // One tick. A list with no non-empty line at all draws nothing and clears nothing, as without a
    // schedule.
    TickChoice Tick(const std::vector<std::u16string>& lines, const std::vector<bool>& drawable, double r);
    bool Cleared() const { return cleared_; }
    // A new publication: its first closed tick clears again.
    void Reset() { cleared_ = false; }

  private:
    bool cleared_ = false;
};

// The schedule as it applies to the publication on the screen: which files were joined (paths below the
// content folder, in join order), which lines come from which file, and schedule.ini as last read. Lives
// on the window thread; the rotation asks it on every tick.
class ScheduledPublication {
  public:
    // A new publication (or one rebuilt from its files): its closed ticks clear again.
    void Publish(std::vector<std::u16string> relativePaths, std::vector<MessageOrigin> origins);
    // schedule.ini read anew; nothing when there is none (every file is shown).
    void SetSchedule(std::optional<Schedule> schedule);
    const std::optional<Schedule>& CurrentSchedule() const { return schedule_; }

    // One tick at the given wall time. Nothing when no schedule restricts the lines (no schedule.ini, no
    // section in it, or lines that are not the publication's, as after a publish that failed half way):
    // the rotation picks as usual.
    std::optional<TickChoice> Tick(const std::vector<std::u16string>& lines, const LocalDateTime& now,
                                   double r);

  private:
    std::vector<std::u16string> paths_;
    std::vector<MessageOrigin> origins_;
    std::optional<Schedule> schedule_;
    ScheduleGate gate_;
};

// The notice for a schedule.ini with lines that cannot be read: the lines, and that their files stay off
// the screen. Empty when every line could be read.
std::u16string ScheduleErrorNotice(const Schedule& schedule);

// What the content manager shows beside a file's name: its rule in a few words, empty when no section
// covers it.
std::u16string ScheduleCaption(const Schedule& schedule, std::u16string_view relativePath);

} // namespace plumwick
