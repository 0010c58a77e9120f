#include "command/Interpreter.h"

namespace plumwick {

namespace {

// One step of a command. Its failure must not keep the later steps from running, and nothing may
// escape into the window procedure that called us.
template <typename Step> void Attempt(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

const std::u16string kBlank = u" ";

} // namespace

Verb RunCommand(std::u16string_view command, CommandTarget& target) {
    const Verb verb = ParseVerb(command);
    switch (verb) {
    case Verb::None:
        break;
    case Verb::DKC:
        Attempt([&] { target.StartKaraokeTimer(); });
        Attempt([&] {
            KaraokeFields fields = SplitKaraokeFields(CommandArgument(command));
            if (fields.textWidth) {
                target.KaraokeDrawKRC(fields.text, fields.duration, *fields.textWidth);
            }
        });
        break;
    case Verb::DLT:
        Attempt([&] { target.StartKaraokeTimer(); });
        Attempt([&] { target.DrawMainLine(CommandArgument(command)); });
        break;
    case Verb::END:
        Attempt([&] { target.CloseToolbar(); });
        Attempt([&] { target.CloseCommandWindow(); });
        break;
    case Verb::TME:
        Attempt([&] { target.StopKaraokeTimer(); });
        break;
    case Verb::TMS:
        Attempt([&] { target.StartKaraokeTimer(); });
        break;
    case Verb::CKT:
        Attempt([&] { target.KaraokeDrawText(kBlank); });
        Attempt([&] { target.DrawMainLine(kBlank); });
        Attempt([&] { target.SetKaraokeText(kBlank); });
        Attempt([&] { target.StopKaraokeTimer(); });
        Attempt([&] { target.ClearKaraokeSurface(); });
        Attempt([&] { target.ClearMainSurface(); });
        Attempt([&] { target.EndHold(); }); // a cleared display is no line to hold
        break;
    case Verb::DKT:
        Attempt([&] { target.StartKaraokeTimer(); });
        Attempt([&] { target.KaraokeDrawText(CommandArgument(command)); });
        break;
    case Verb::HDE:
        Attempt([&] { target.HideToolbar(); });
        break;
    case Verb::ULK:
        Attempt([&] { target.LockDisplay(false); });
        break;
    case Verb::LOK:
        Attempt([&] { target.LockDisplay(true); });
        break;
    case Verb::HLD:
        // Without a valid number of seconds it does nothing, not even end an earlier hold.
        if (std::optional<unsigned> seconds = ParseHoldSeconds(command)) {
            Attempt([&] { target.HoldLine(*seconds); });
        }
        break;
    }
    return verb;
}

} // namespace plumwick
