// The command box takes any text another program writes into it. The input is tried as UTF-16 units
// (byte pairs, little-endian) and as UTF-8, against a target that checks every call the interpreter
// makes, once behaving and once throwing from every call.
#include "command/Command.h"
#include "command/Interpreter.h"
#include "common/Numeric.h"
#include "common/TextUtil.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/FuzzVerbs.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using namespace plumwick;

constexpr std::u16string_view kSeparator = u"||";
constexpr std::size_t kVerbLength = 3;

// The properties of the DKC split that hold whatever the argument: the text is what precedes the first
// separator, the duration what lies between the two (when they do not overlap), and neither holds one.
void CheckKaraokeFields(std::u16string_view argument, const KaraokeFields& fields) {
    const std::size_t first = argument.find(kSeparator);
    FUZZ_CHECK(fields.text.find(kSeparator) == std::u16string::npos);
    FUZZ_CHECK(fields.duration.find(kSeparator) == std::u16string::npos);
    if (first == std::u16string_view::npos) {
        FUZZ_CHECK(fields.text.empty());
        FUZZ_CHECK(fields.duration.empty());
        // Without a separator the width is read from the second character on.
        FUZZ_CHECK(fields.textWidth == ParseInt16(argument.substr(argument.empty() ? 0 : 1)));
        return;
    }
    FUZZ_CHECK(fields.text == argument.substr(0, first));
    const std::size_t second = argument.find(kSeparator, first + 1);
    if (second == std::u16string_view::npos) {
        FUZZ_CHECK(fields.duration.empty());
        // The width is then read from the second character on, which still takes in a bar.
        FUZZ_CHECK(!fields.textWidth);
        return;
    }
    if (second == first + 1) {
        FUZZ_CHECK(fields.duration.empty()); // overlapping separators in a run of bars
    } else {
        FUZZ_CHECK(fields.duration == argument.substr(first + 2, second - first - 2));
        FUZZ_CHECK(!fields.duration.empty());
        FUZZ_CHECK(fields.duration.front() != u'|' && fields.duration.back() != u'|');
    }
    FUZZ_CHECK(fields.textWidth == ParseInt16(argument.substr(second + 2)));
}

enum class Call : std::uint8_t {
    StartTimer,
    StopTimer,
    DrawKRC,
    KaraokeDrawText,
    MainDrawText,
    SetKaraokeText,
    ClearKaraoke,
    ClearMain,
    HideToolbar,
    CloseToolbar,
    CloseCommandWindow,
    Lock,
    Unlock,
    Hold,
    EndHold,
};

constexpr std::size_t kMaxCalls = 7; // CKT makes the most

struct CallList {
    std::array<Call, kMaxCalls> calls{};
    std::size_t count = 0;

    void Add(Call call) {
        FUZZ_CHECK(count < kMaxCalls);
        calls[count++] = call;
    }
    bool operator==(const CallList& other) const {
        if (count != other.count) {
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (calls[i] != other.calls[i]) {
                return false;
            }
        }
        return true;
    }
};

// Checks each argument where it arrives and keeps only the order of the calls.
class CheckingTarget : public CommandTarget {
  public:
    CheckingTarget(std::u16string_view command, bool throws) : command_(command), throws_(throws) {}

    const CallList& Calls() const { return calls_; }

    void StartKaraokeTimer() override { Record(Call::StartTimer); }
    void StopKaraokeTimer() override { Record(Call::StopTimer); }
    void KaraokeDrawKRC(const std::u16string& text, const std::u16string& duration,
                        std::int16_t textWidth) override {
        FUZZ_CHECK(ParseVerb(command_) == Verb::DKC);
        const std::u16string_view argument = command_.substr(kVerbLength);
        KaraokeFields fields{text, duration, textWidth};
        CheckKaraokeFields(argument, fields);
        Record(Call::DrawKRC);
    }
    void KaraokeDrawText(const std::u16string& text) override {
        FUZZ_CHECK(text == (ParseVerb(command_) == Verb::DKT ? command_.substr(kVerbLength) : u" "));
        Record(Call::KaraokeDrawText);
    }
    void DrawMainLine(const std::u16string& text) override {
        FUZZ_CHECK(text == (ParseVerb(command_) == Verb::DLT ? command_.substr(kVerbLength) : u" "));
        Record(Call::MainDrawText);
    }
    void SetKaraokeText(const std::u16string& text) override {
        FUZZ_CHECK(text == u" ");
        Record(Call::SetKaraokeText);
    }
    void ClearKaraokeSurface() override { Record(Call::ClearKaraoke); }
    void ClearMainSurface() override { Record(Call::ClearMain); }
    void HideToolbar() override { Record(Call::HideToolbar); }
    void CloseToolbar() override { Record(Call::CloseToolbar); }
    void CloseCommandWindow() override { Record(Call::CloseCommandWindow); }
    void LockDisplay(bool clickThrough) override { Record(clickThrough ? Call::Lock : Call::Unlock); }
    void HoldLine(unsigned seconds) override {
        FUZZ_CHECK(ParseVerb(command_) == Verb::HLD);
        FUZZ_CHECK(seconds >= 1 && seconds <= kMaxHoldSeconds);
        Record(Call::Hold);
    }
    void EndHold() override { Record(Call::EndHold); }

  private:
    void Record(Call call) {
        calls_.Add(call);
        if (throws_) {
            throw std::runtime_error("target failed");
        }
    }

    std::u16string_view command_;
    bool throws_;
    CallList calls_;
};

// The verb from its letters alone, without ParseVerb.
Verb ExpectedVerb(std::u16string_view command) {
    for (const auto& [name, verb] : kOracleVerbs) {
        if (command.starts_with(name)) {
            return verb;
        }
    }
    return Verb::None;
}

CallList ExpectedCalls(std::u16string_view command) {
    CallList list;
    auto add = [&list](std::initializer_list<Call> calls) {
        for (Call call : calls) {
            list.Add(call);
        }
    };
    switch (ExpectedVerb(command)) {
    case Verb::None:
        break;
    case Verb::DKC:
        add({Call::StartTimer});
        if (SplitKaraokeFields(command.substr(kVerbLength)).textWidth) {
            add({Call::DrawKRC});
        }
        break;
    case Verb::DLT:
        add({Call::StartTimer, Call::MainDrawText});
        break;
    case Verb::END:
        add({Call::CloseToolbar, Call::CloseCommandWindow});
        break;
    case Verb::TME:
        add({Call::StopTimer});
        break;
    case Verb::TMS:
        add({Call::StartTimer});
        break;
    case Verb::CKT:
        add({Call::KaraokeDrawText, Call::MainDrawText, Call::SetKaraokeText, Call::StopTimer,
             Call::ClearKaraoke, Call::ClearMain, Call::EndHold});
        break;
    case Verb::DKT:
        add({Call::StartTimer, Call::KaraokeDrawText});
        break;
    case Verb::HDE:
        add({Call::HideToolbar});
        break;
    case Verb::ULK:
        add({Call::Unlock});
        break;
    case Verb::LOK:
        add({Call::Lock});
        break;
    case Verb::HLD:
        if (ParseHoldSeconds(command)) {
            add({Call::Hold});
        }
        break;
    }
    return list;
}

void CheckCommand(std::u16string_view command) {
    const Verb verb = ParseVerb(command);
    FUZZ_CHECK(verb == ExpectedVerb(command));

    const std::u16string argument = CommandArgument(command);
    FUZZ_CHECK(argument == (verb == Verb::None ? command : command.substr(kVerbLength)));

    CheckKaraokeFields(command, SplitKaraokeFields(command));
    if (verb != Verb::None) {
        CheckKaraokeFields(argument, SplitKaraokeFields(argument));
    }

    const CallList expected = ExpectedCalls(command);
    for (bool throws : {false, true}) {
        CheckingTarget target(command, throws);
        FUZZ_CHECK(RunCommand(command, target) == verb);
        FUZZ_CHECK(target.Calls() == expected);
    }
}

// Every verb in front of the input repeated to a long text; a split that is not linear in the length
// shows up as a timeout.
void CheckLongCommands(std::u16string_view unit) {
    constexpr std::size_t kLongLength = std::size_t{1} << 16;
    std::u16string body;
    body.reserve(kLongLength + unit.size());
    while (body.size() < kLongLength) {
        body += unit;
    }
    for (std::u16string_view verb : {u"DKC", u"DLT"}) {
        std::u16string command(verb);
        command += body;
        CheckingTarget target(command, false);
        RunCommand(command, target);
    }
    SplitKaraokeFields(body);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string units = fuzz::Utf16Units(data, size);
    const std::u16string fromUtf8 = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));

    CheckCommand(units);
    CheckCommand(fromUtf8);
    // The reset after each command comes back as the idle text, which must do nothing.
    static const bool idleChecked = (CheckCommand(kIdleText), ParseVerb(kIdleText) == Verb::None);
    FUZZ_CHECK(idleChecked);

    // About one input in a thousand, picked by its contents so that a run can be repeated.
    unsigned hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 16777619u;
    }
    if (!fromUtf8.empty() && hash % 1024 == 0) {
        CheckLongCommands(fromUtf8);
    }
    return 0;
}
