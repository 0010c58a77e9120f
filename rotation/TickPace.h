#pragma once
// Keeps the rotation's pace across a stopped process or a sleeping PC: however many intervals went by
// unseen, the late tick shows one message, and the next comes a whole interval after it rather than at
// once to make up for the rest.
#include <cstdint>

namespace plumwick {

class TickPace {
  public:
    // The timer (re)starts at nowMs with this interval; 0: it does not run.
    void Arm(std::uint64_t nowMs, unsigned intervalMs);
    // The timer fired at nowMs. True when it came a whole interval or more late: the timer is to be
    // started afresh, so its next tick is an interval from now.
    bool Tick(std::uint64_t nowMs);
    // Whether a tick is due and has not come by nowMs (after a resume: one is shown at once).
    bool Overdue(std::uint64_t nowMs) const;

  private:
    std::uint64_t dueMs_ = 0;
    unsigned intervalMs_ = 0;
};

} // namespace plumwick
