#pragma once
// The message rotation and the previous/next walk through its show history, apart from the window:
// the toolbar supplies the timer, the drawing and the question box through RotationHost.
#include "toolbar/MessageList.h"
#include "toolbar/ShowHistory.h"

#include <string_view>

namespace plumwick {

class RotationHost {
  public:
    virtual ~RotationHost() = default;
    virtual void StartKaraokeTimer() = 0;
    virtual void DrawMain(const std::u16string& line) = 0;
    // The reminder box with OK and Cancel; true on OK.
    virtual bool AskReminder(std::u16string_view text) = 0;
    // The rotation timer is to fire every intervalMs (runs) or not at all.
    virtual void ApplyTimer(bool runs, unsigned intervalMs) = 0;
};

// Rotation states: idle (off, interval 0), running (on), stopped (off, interval kept). An enabled rotation
// with interval 0 never fires, yet counts as enabled, so the lock button still toggles it.
class RotationControl {
  public:
    explicit RotationControl(RotationHost& host) : host_(host) {}

    void Start(unsigned intervalMs); // a new interval, running
    // A successful publication: running with the new interval, and its first message shown at once (one
    // tick with r) rather than a whole interval later.
    void Publish(unsigned intervalMs, double r);
    void Stop();
    void ToggleLock();
    bool Enabled() const { return enabled_; }
    unsigned IntervalMs() const { return intervalMs_; }

    // One rotation step with r uniform in [0, 1): a line among the non-empty ones is drawn and recorded;
    // a list without one draws and records nothing.
    void Tick(double r);
    void Previous();
    void Next();

    const ShowHistory& History() const { return history_; }
    // InfoLines and InfoIndex: replaced by a publication, walked by the rotation and the history.
    MessageList& Messages() { return messages_; }
    const MessageList& Messages() const { return messages_; }

  private:
    void SetEnabled(bool enabled);
    void DrawLine(const std::optional<long long>& index);

    RotationHost& host_;
    MessageList messages_;
    ShowHistory history_;
    bool enabled_ = false;
    unsigned intervalMs_ = 0;
};

} // namespace plumwick
