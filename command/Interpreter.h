#pragma once
// Carries out one command string against the display. Holds no state: everything a command changes
// lives in the windows behind CommandTarget.
#include "command/Command.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace plumwick {

// What the commands act on; the command window implements it with the real windows.
class CommandTarget {
  public:
    virtual ~CommandTarget() = default;
    virtual void StartKaraokeTimer() = 0;
    virtual void StopKaraokeTimer() = 0;
    virtual void KaraokeDrawKRC(const std::u16string& text, const std::u16string& duration,
                                std::int16_t textWidth) = 0;
    virtual void KaraokeDrawText(const std::u16string& text) = 0;
    virtual void DrawMainLine(const std::u16string& line) = 0;
    virtual void SetKaraokeText(const std::u16string& text) = 0;
    virtual void ClearKaraokeSurface() = 0;
    virtual void ClearMainSurface() = 0;
    virtual void HideToolbar() = 0;
    virtual void CloseToolbar() = 0;
    // Its closing unregisters the hotkey and ends the program.
    virtual void CloseCommandWindow() = 0;
    // SetLayeredTop(main, topmost, clickThrough), then the same for the karaoke window.
    virtual void LockDisplay(bool clickThrough) = 0;
    // Keeps the rotation from replacing the shown line for that long; a later hold replaces it.
    virtual void HoldLine(unsigned seconds) = 0;
    // Ends a hold early; the rotation goes on with its interval.
    virtual void EndHold() = 0;
};

// The text the command box holds between commands. It is no command itself.
inline constexpr std::u16string_view kIdleText = u"KrcMessage";

// Runs one command string; every step is attempted on its own: an exception thrown by one target call
// is caught and the next step still runs. Returns the verb that was carried out (None for no command).
//
// Resetting the box to kIdleText is left to the caller, which does it after RunCommand returns, for a
// command and for a text that is no command alike (unless END has already ended the program). That
// reset reaches RunCommand again as kIdleText and does nothing.
//
// Any text is accepted (NULs, lone surrogates, control characters, megabytes); the work is linear in
// its length.
Verb RunCommand(std::u16string_view command, CommandTarget& target);

} // namespace plumwick
