#include "rotation/TickPace.h"

namespace plumwick {

void TickPace::Arm(std::uint64_t nowMs, unsigned intervalMs) {
    intervalMs_ = intervalMs;
    dueMs_ = nowMs + intervalMs;
}

bool TickPace::Tick(std::uint64_t nowMs) {
    if (intervalMs_ == 0) {
        return false;
    }
    bool late = nowMs >= dueMs_ + intervalMs_;
    dueMs_ = nowMs + intervalMs_;
    return late;
}

bool TickPace::Overdue(std::uint64_t nowMs) const {
    return intervalMs_ != 0 && nowMs >= dueMs_;
}

} // namespace plumwick
