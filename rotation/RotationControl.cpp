#include "rotation/RotationControl.h"

#include "rotation/Rotation.h"

namespace plumwick {

void RotationControl::Start(unsigned intervalMs) {
    DropHold();
    intervalMs_ = intervalMs;
    SetEnabled(true);
}

void RotationControl::Publish(unsigned intervalMs, double r) {
    Start(intervalMs);
    Tick(r);
}

void RotationControl::Stop() {
    DropHold();
    SetEnabled(false);
}

void RotationControl::ToggleLock() {
    DropHold();
    SetEnabled(!enabled_);
}

void RotationControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    ApplyTimer();
}

void RotationControl::ApplyTimer() {
    host_.ApplyTimer(enabled_ && intervalMs_ > 0 && !held_, intervalMs_);
}

void RotationControl::Hold(unsigned seconds) {
    held_ = true;
    ApplyTimer();
    host_.ApplyHoldTimer(true, seconds * 1000u);
}

void RotationControl::DropHold() {
    if (held_) {
        held_ = false;
        host_.ApplyHoldTimer(false, 0);
    }
}

void RotationControl::EndHold() {
    if (held_) {
        DropHold();
        ApplyTimer();
    }
}

bool RotationControl::HoldRanOut() {
    if (!held_) {
        return false; // ended early; a late timer message has nothing left to end
    }
    DropHold();
    ApplyTimer();
    return enabled_ && intervalMs_ > 0;
}

void RotationControl::Tick(double r) {
    if (held_) {
        return;
    }
    std::optional<std::size_t> pick;
    TickGate::Choice choice = gate_ ? gate_->ChooseTick(messages_.lines, r) : TickGate::Choice{};
    switch (choice.action) {
    case TickGate::Action::Free:
        pick = PickLine(messages_.lines, r);
        break;
    case TickGate::Action::Draw:
        if (choice.index < messages_.lines.size()) {
            pick = choice.index;
        }
        break;
    case TickGate::Action::Clear:
        host_.ClearMain();
        return;
    case TickGate::Action::Nothing:
        return;
    }
    host_.StartKaraokeTimer();
    if (!pick) {
        return;
    }
    messages_.index = static_cast<double>(*pick);
    host_.DrawMain(messages_.lines[*pick]);
    history_.Record(static_cast<long long>(*pick));
}

bool RotationControl::InList(const std::optional<long long>& index) const {
    return index && *index >= 0 && static_cast<unsigned long long>(*index) < messages_.lines.size();
}

ShowHistory::WalkResult RotationControl::Walk(ShowHistory::WalkResult (ShowHistory::*step)()) {
    ShowHistory::WalkResult result = (history_.*step)();
    // The history is finite, so the walk reaches its boundary.
    while (skipBeyondList_ && !result.atBoundary && !InList(result.lineToDraw)) {
        result = (history_.*step)();
    }
    return result;
}

void RotationControl::DrawLine(const std::optional<long long>& index) {
    // A history entry may point past a list republished shorter since; that step draws nothing.
    if (InList(index)) {
        host_.DrawMain(messages_.lines[static_cast<std::size_t>(*index)]);
    }
}

void RotationControl::Previous() {
    Stop();
    ShowHistory::WalkResult step = Walk(&ShowHistory::Previous);
    if (step.atBoundary) {
        if (host_.AskReminder(kFirstMessageText)) {
            SetEnabled(true);
        }
        return;
    }
    DrawLine(step.lineToDraw);
    if (step.newInfoIndex) {
        messages_.index = static_cast<double>(*step.newInfoIndex);
    }
}

void RotationControl::Next() {
    Stop();
    ShowHistory::WalkResult step = Walk(&ShowHistory::Next);
    if (step.atBoundary) {
        if (host_.AskReminder(kLastMessageText)) {
            SetEnabled(true);
            if (std::optional<long long> index = history_.IndexOnNextBoundaryOk()) {
                messages_.index = static_cast<double>(*index);
            }
        }
        return;
    }
    DrawLine(step.lineToDraw);
    if (step.newInfoIndex) {
        messages_.index = static_cast<double>(*step.newInfoIndex);
    }
}

} // namespace plumwick
