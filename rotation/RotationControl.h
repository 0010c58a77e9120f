#pragma once
// The message rotation and the previous/next walk through its show history, apart from the window:
// the toolbar supplies the timer, the drawing and the question box through RotationHost.
#include "rotation/MessageList.h"
#include "rotation/RotationPorts.h"
#include "rotation/ShowHistory.h"

#include <string_view>

namespace plumwick {

class RotationHost {
  public:
    virtual ~RotationHost() = default;
    virtual void StartKaraokeTimer() = 0;
    virtual void DrawMain(const std::u16string& line) = 0;
    // Takes the shown line down (a schedule closed every window).
    virtual void ClearMain() = 0;
    // The reminder box with OK and Cancel; true on OK.
    virtual bool AskReminder(std::u16string_view text) = 0;
    // The rotation timer is to fire every intervalMs (runs) or not at all.
    virtual void ApplyTimer(bool runs, unsigned intervalMs) = 0;
    // The hold's one-shot timer is to fire once after ms (runs; a new one replaces the old) or not at all.
    virtual void ApplyHoldTimer(bool runs, unsigned ms) = 0;
};

// Rotation states: idle (off, interval 0), running (on), stopped (off, interval kept). An enabled rotation
// with interval 0 never fires, yet counts as enabled, so the lock button still toggles it.
//
// A hold keeps the rotation from replacing the shown line for a while, whatever the state: its timer is
// off meanwhile. When the hold runs out, a running rotation ticks once at once and then every interval.
// Previous, next, the lock button, a publication (Stop, Start) and EndHold end a hold early, without that
// tick; a second hold replaces the first.
class RotationControl {
  public:
    explicit RotationControl(RotationHost& host) : host_(host) {}
    // Asked on every tick which lines may be drawn now; none: every non-empty line may.
    void SetGate(TickGate* gate) { gate_ = gate; }

    void Start(unsigned intervalMs); // a new interval, running
    // A successful publication: running with the new interval, and its first message shown at once (one
    // tick with r) rather than a whole interval later.
    void Publish(unsigned intervalMs, double r);
    void Stop();
    void ToggleLock();
    bool Enabled() const { return enabled_; }
    unsigned IntervalMs() const { return intervalMs_; }

    void Hold(unsigned seconds);
    void EndHold();
    bool Held() const { return held_; }
    // The hold's timer fired: ends the hold; true when one tick is due at once.
    bool HoldRanOut();

    // One rotation step with r uniform in [0, 1): a line among the non-empty ones is drawn and recorded;
    // a list without one draws and records nothing. With a gate, the gate picks, or has the line taken
    // down (not recorded). During a hold it does nothing.
    void Tick(double r);
    void Previous();
    void Next();
    // The list rebuilt from the publication's files (true) or replaced by a publication (false): after a
    // rebuild, previous and next step over the entries beyond the list instead of stopping on them.
    void SetSkipBeyondList(bool skip) { skipBeyondList_ = skip; }

    const ShowHistory& History() const { return history_; }
    // InfoLines and InfoIndex: replaced by a publication, walked by the rotation and the history.
    MessageList& Messages() { return messages_; }
    const MessageList& Messages() const { return messages_; }

  private:
    void SetEnabled(bool enabled);
    void ApplyTimer();
    void DropHold();
    void DrawLine(const std::optional<long long>& index);
    bool InList(const std::optional<long long>& index) const;
    // One history step, over the entries beyond the list when they are to be skipped.
    ShowHistory::WalkResult Walk(ShowHistory::WalkResult (ShowHistory::*step)());

    RotationHost& host_;
    TickGate* gate_ = nullptr;
    MessageList messages_;
    ShowHistory history_;
    bool enabled_ = false;
    bool held_ = false;
    bool skipBeyondList_ = false;
    unsigned intervalMs_ = 0;
};

} // namespace plumwick
