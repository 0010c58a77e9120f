#include "rotation/MessageRotation_win.h"

namespace plumwick {

MessageRotation::~MessageRotation() {
    Destroy();
}

bool MessageRotation::Create() {
    win::WindowClass cls{L"PlumwickRotation"};
    return win::Window::Create(cls, 0, 0, L"", 0, 0, 0, 0, HWND_MESSAGE);
}

void MessageRotation::ReplaceMessages(std::vector<std::u16string> lines) {
    control_.Messages().lines = std::move(lines);
    control_.SetSkipBeyondList(false);
}

void MessageRotation::RebuildMessages(std::vector<std::u16string> lines) {
    control_.Messages().lines = std::move(lines);
    control_.SetSkipBeyondList(true);
}

LRESULT MessageRotation::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER) {
        return Default(message, wParam, lParam);
    }
    switch (static_cast<UINT_PTR>(wParam)) {
    case kRotationTimer:
        if (pace_.Tick(GetTickCount64()) && timerRuns_) {
            // Late by whole intervals (stopped, asleep): this one message, then the interval from now.
            SetTimer(Handle(), kRotationTimer, timerIntervalMs_, nullptr);
        }
        OnTick();
        break;
    case kHoldTimer:
        KillTimer(Handle(), kHoldTimer); // one shot
        if (control_.HoldRanOut()) {
            OnTick();
        }
        break;
    default:
        break;
    }
    return 0;
}

void MessageRotation::OnTick() {
    if (inTick_) {
        return; // a tick that comes due while the last one lets events run waits for the next interval
    }
    inTick_ = true;
    control_.Tick(random_.Next());
    // Let the waiting events run, so a click queued during the tick is handled before it returns.
    win::RunWaitingMessages();
    inTick_ = false;
}

void MessageRotation::ApplyTimer(bool runs, unsigned intervalMs) {
    // The pause button shows the lock's state: enabled counts as running even with an interval of 0.
    if (view_) {
        view_->RotationStateChanged(control_.Enabled());
    }
    if (!Handle()) {
        return;
    }
    timerRuns_ = runs;
    if (runs && tickPeriodOverrideMs_ != 0) {
        intervalMs = tickPeriodOverrideMs_;
    }
    timerIntervalMs_ = intervalMs;
    pace_.Arm(GetTickCount64(), runs ? intervalMs : 0);
    if (runs) {
        SetTimer(Handle(), kRotationTimer, intervalMs, nullptr);
    } else {
        KillTimer(Handle(), kRotationTimer);
    }
}

void MessageRotation::CatchUp() {
    if (!Handle() || !timerRuns_ || control_.Held() || !pace_.Overdue(GetTickCount64())) {
        return;
    }
    pace_.Tick(GetTickCount64());
    SetTimer(Handle(), kRotationTimer, timerIntervalMs_, nullptr); // the interval from this message on
    OnTick();
}

void MessageRotation::ApplyHoldTimer(bool runs, unsigned ms) {
    if (!Handle()) {
        return;
    }
    if (runs) {
        SetTimer(Handle(), kHoldTimer, ms, nullptr);
    } else {
        KillTimer(Handle(), kHoldTimer);
    }
}

} // namespace plumwick
