#pragma once
// The command strings other programs write into the command box: a three-letter verb, and for DKC, DLT
// and DKT an argument. Parsing only; Interpreter.h carries the commands out.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace plumwick {

// Listed in the order they are matched; None is a text that is no command (the idle text among them).
// HLD holds the shown line against the rotation for a number of seconds.
enum class Verb { None, DKC, DLT, END, TME, TMS, CKT, DKT, HDE, ULK, LOK, HLD };

// The longest command the box takes, in UTF-16 units. A longer text is refused whole: a counter display
// has no use for it, and copying and laying out megabytes on every change would keep the display busy.
inline constexpr std::size_t kMaxCommandUnits = std::size_t{1} << 20;

// A sender's NUL-terminated text as a command, when it holds at most kMaxCommandUnits units; nothing when
// it is longer. No unit past kMaxCommandUnits + 1 is read. A null text is an empty command.
std::optional<std::u16string_view> BoundedCommand(const char16_t* text);

// The verb in the first three UTF-16 units, compared case-sensitively. Shorter texts are no command.
Verb ParseVerb(std::u16string_view command);

// The interpreter's table: each verb by its letters, in the order they are matched.
struct VerbName {
    std::u16string_view name;
    Verb verb;
};
std::span<const VerbName> VerbNames();

// The command without its leading verb ("DLTA DLT B" -> "A DLT B"). Later occurrences of the verb's
// letters belong to the argument and stay. A text that does not begin with a verb is returned as it is.
std::u16string CommandArgument(std::u16string_view command);

// The seconds of "HLD" followed by a whole number from 1 to kMaxHoldSeconds (decimal digits, blanks and
// line ends around them allowed). Anything else, and a text that is no HLD command, gives nothing.
inline constexpr unsigned kMaxHoldSeconds = 3600;
std::optional<unsigned> ParseHoldSeconds(std::u16string_view command);

// The fields of a DKC argument, `text` "||" `duration` "||" `textWidth`. A field the split cannot take
// stays empty; textWidth is empty when it is no number in the 16-bit range.
struct KaraokeFields {
    std::u16string text;
    std::u16string duration;
    std::optional<std::int16_t> textWidth;
};

// Splits with 1-based positions as senders have always had it: the second separator is searched from the
// second bar of the first, so in a run of three or more bars they overlap ("abc|||2||900" leaves
// textWidth "2||900"). Without any separator textWidth is the argument from its second character on.
KaraokeFields SplitKaraokeFields(std::u16string_view argument);

// The log line of a refused command: the channel, the verb when the text begins with one, and the reason;
// never the command's text, which may be anything a sender had on screen.
// ("pipe HLD: HLD takes a whole number ...", "box: no command ...")
std::u16string RefusalLogText(std::u16string_view channel, std::u16string_view command,
                              std::string_view reason);

} // namespace plumwick
