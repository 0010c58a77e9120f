#pragma once
// The rotation's narrow interfaces: what it draws on, what the toolbar shows of it and steers, and what a
// publication hands it. The composition root wires them; no other subsystem sees the rotation's insides.
#include <cstddef>
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
    // Takes the shown line down: nothing may be shown now (every scheduled file is out of its window).
    virtual void ClearMainLine() = 0;
};

// Decides what a tick may draw when the content says which lines may be shown now (schedule.ini); the
// rotation asks it on every tick and otherwise picks among all non-empty lines.
class TickGate {
  public:
    virtual ~TickGate() = default;
    enum class Action {
        Free,    // no restriction: the usual pick among the non-empty lines
        Draw,    // draw line `index`
        Clear,   // take the shown line down
        Nothing, // leave the display as it is
    };
    struct Choice {
        Action action = Action::Free;
        std::size_t index = 0;
    };
    // One tick over the published lines, r uniform in [0, 1).
    virtual Choice ChooseTick(const std::vector<std::u16string>& lines, double r) = 0;
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
    // The same publication rebuilt from its files as they are now: the rotation goes on as it was, the
    // history is kept, and previous/next skip the entries beyond the new list.
    virtual void RebuildMessages(std::vector<std::u16string> lines) = 0;
    // Running with the interval and the first message shown at once (a publication).
    virtual void StartRotation(unsigned intervalMs) = 0;
    // Running with the interval, the next message one interval from now (a publication restored at start,
    // which leaves the welcome line up for that long).
    virtual void ResumeRotation(unsigned intervalMs) = 0;
};

} // namespace plumwick
