#pragma once
// The rotation's narrow interfaces: what it draws on, what the toolbar shows of it and steers, and what a
// publication hands it. The composition root wires them; no other subsystem sees the rotation's insides.
#include <string>
#include <string_view>
#include <vector>

namespace plumwick {

// Where the rotation's lines appear: the main line, with the karaoke sweep started.
class RotationDisplay {
  public:
    virtual ~RotationDisplay() = default;
    virtual void StartKaraokeTimer() = 0;
    virtual void DrawMainLine(const std::u16string& line) = 0;
};

// The window that shows the rotation's state and asks its questions (the toolbar).
class RotationView {
  public:
    virtual ~RotationView() = default;
    // The rotation was switched on or off (its pause button shows which); called on every timer change.
    virtual void RotationStateChanged(bool enabled) = 0;
    // The reminder box with OK and Cancel; true on OK.
    virtual bool AskReminder(std::u16string_view text) = 0;
};

// The toolbar's previous, next and lock buttons.
class RotationSteering {
  public:
    virtual ~RotationSteering() = default;
    virtual void Previous() = 0;
    virtual void Next() = 0;
    virtual void ToggleLock() = 0;
};

// What a publication does to the rotation (the content manager).
class MessageFeed {
  public:
    virtual ~MessageFeed() = default;
    virtual void StopRotation() = 0;
    // InfoLines replaced as a whole.
    virtual void ReplaceMessages(std::vector<std::u16string> lines) = 0;
    // Running with the interval and the first message shown at once (a publication).
    virtual void StartRotation(unsigned intervalMs) = 0;
    // Running with the interval, the next message one interval from now (a publication restored at start,
    // which leaves the welcome line up for that long).
    virtual void ResumeRotation(unsigned intervalMs) = 0;
};

} // namespace plumwick
