#pragma once
// The message rotation as a subsystem: the message list and its index, the show history, the hold, and
// the rotation timer (Timer1) with the hold's one-shot timer on a message-only window of its own.
#include "rotation/Rotation.h"
#include "rotation/RotationControl.h"
#include "rotation/RotationPorts.h"
#include "rotation/TickPace.h"
#include "win32/Window_win.h"

namespace plumwick {

class MessageRotation : public win::Window,
                        public RotationSteering,
                        public MessageFeed,
                        private RotationHost {
  public:
    explicit MessageRotation(RotationDisplay& display) : display_(display), control_(*this) {}
    ~MessageRotation() override;

    // The timers' window; without it the rotation never ticks, and says so in Creation().
    bool Create();
    // The toolbar, once it exists; before that nothing is shown or asked.
    void SetView(RotationView* view) { view_ = view; }
    // What decides which lines a tick may draw now (the content's schedule); none: every line may.
    void SetGate(TickGate* gate) { control_.SetGate(gate); }

    const RotationControl& Control() const { return control_; }
    const MessageList& Messages() const { return control_.Messages(); }
    // Keeps the rotation off the shown line for that long (HLD); EndHold ends it early (CKT).
    void HoldLine(unsigned seconds) { control_.Hold(seconds); }
    void EndHold() { control_.EndHold(); }
    // Back from sleep or a stopped process: a tick that is overdue shows its one message now, and the
    // interval runs from then.
    void CatchUp();
    // The long-life benchmark's compressed time: a running rotation ticks every `ms` milliseconds, whatever
    // its interval (0: the interval, as always).
    void SetTickPeriodOverride(unsigned ms) { tickPeriodOverrideMs_ = ms; }

    // RotationSteering
    void Previous() override { control_.Previous(); }
    void Next() override { control_.Next(); }
    void ToggleLock() override { control_.ToggleLock(); }

    // MessageFeed
    void StopRotation() override { control_.Stop(); }
    void ReplaceMessages(std::vector<std::u16string> lines) override;
    void RebuildMessages(std::vector<std::u16string> lines) override;
    void StartRotation(unsigned intervalMs) override { control_.Publish(intervalMs, random_.Next()); }
    void ResumeRotation(unsigned intervalMs) override { control_.Start(intervalMs); }

  private:
    enum Timer : UINT_PTR { kRotationTimer = 1, kHoldTimer = 2 };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTick();

    // RotationHost
    void StartKaraokeTimer() override { display_.StartKaraokeTimer(); }
    void DrawMain(const std::u16string& line) override { display_.DrawMainLine(line); }
    void ClearMain() override { display_.ClearMainLine(); }
    bool AskReminder(std::u16string_view text) override { return view_ && view_->AskReminder(text); }
    void ApplyTimer(bool runs, unsigned intervalMs) override;
    void ApplyHoldTimer(bool runs, unsigned ms) override;

    RotationDisplay& display_;
    RotationView* view_ = nullptr;
    RotationControl control_;
    TickPace pace_;
    bool timerRuns_ = false;
    unsigned timerIntervalMs_ = 0;
    unsigned tickPeriodOverrideMs_ = 0;
    RandomSource random_;
    bool inTick_ = false;
};

} // namespace plumwick
