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

} // namespace plumwick
