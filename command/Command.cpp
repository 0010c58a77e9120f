#include "command/Command.h"

#include "common/Numeric.h"

#include <array>
#include <cstddef>

namespace plumwick {

namespace {

constexpr std::array<VerbName, 11> kVerbs{{
    {u"DKC", Verb::DKC},
    {u"DLT", Verb::DLT},
    {u"END", Verb::END},
    {u"TME", Verb::TME},
    {u"TMS", Verb::TMS},
    {u"CKT", Verb::CKT},
    {u"DKT", Verb::DKT},
    {u"HDE", Verb::HDE},
    {u"ULK", Verb::ULK},
    {u"LOK", Verb::LOK},
    {u"HLD", Verb::HLD},
}};

constexpr std::size_t kVerbLength = 3;

// 1-based position of the first "||" at or after the 1-based position start, 0 when there is none.
std::ptrdiff_t FindSeparator(std::u16string_view text, std::ptrdiff_t start) {
    std::size_t from = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
    std::size_t found = text.find(u"||", from);
    return found == std::u16string_view::npos ? 0 : static_cast<std::ptrdiff_t>(found) + 1;
}

// Characters from the 1-based position start, at most length of them (all when length is npos); empty
// when start lies past the end.
std::u16string_view Mid(std::u16string_view text, std::ptrdiff_t start,
                        std::size_t length = std::u16string_view::npos) {
    std::size_t from = static_cast<std::size_t>(start - 1);
    if (from >= text.size()) {
        return {};
    }
    return text.substr(from, length);
}

} // namespace

std::optional<std::u16string_view> BoundedCommand(const char16_t* text) {
    if (!text) {
        return std::u16string_view{};
    }
    std::size_t length = 0;
    while (length <= kMaxCommandUnits && text[length] != u'\0') {
        ++length;
    }
    if (length > kMaxCommandUnits) {
        return std::nullopt;
    }
    return std::u16string_view(text, length);
}

std::span<const VerbName> VerbNames() {
    return kVerbs;
}

Verb ParseVerb(std::u16string_view command) {
    if (command.size() < kVerbLength) {
        return Verb::None;
    }
    std::u16string_view head = command.substr(0, kVerbLength);
    for (const VerbName& entry : kVerbs) {
        if (head == entry.name) {
            return entry.verb;
        }
    }
    return Verb::None;
}

std::u16string CommandArgument(std::u16string_view command) {
    if (ParseVerb(command) == Verb::None) {
        return std::u16string(command);
    }
    return std::u16string(command.substr(kVerbLength));
}

std::optional<unsigned> ParseHoldSeconds(std::u16string_view command) {
    if (ParseVerb(command) != Verb::HLD) {
        return std::nullopt;
    }
    std::u16string_view digits = command.substr(kVerbLength);
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    while (!digits.empty() && blank(digits.front())) {
        digits.remove_prefix(1);
    }
    while (!digits.empty() && blank(digits.back())) {
        digits.remove_suffix(1);
    }
    if (digits.empty()) {
        return std::nullopt;
    }
    unsigned seconds = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        seconds = seconds * 10 + static_cast<unsigned>(c - u'0');
        if (seconds > kMaxHoldSeconds) {
            return std::nullopt; // also keeps a long run of digits from overflowing
        }
    }
    if (seconds == 0) {
        return std::nullopt;
    }
    return seconds;
}

KaraokeFields SplitKaraokeFields(std::u16string_view argument) {
    KaraokeFields fields;
    const std::ptrdiff_t first = FindSeparator(argument, 1);
    const std::ptrdiff_t second = first > 0 ? FindSeparator(argument, first + 1) : 0;

    // Each field is taken on its own; a negative length leaves only that field empty.
    const std::ptrdiff_t textLength = first - 1;
    if (textLength >= 0) {
        fields.text = std::u16string(Mid(argument, 1, static_cast<std::size_t>(textLength)));
    }
    const std::ptrdiff_t durationLength = second - first - 2;
    if (durationLength >= 0) {
        fields.duration = std::u16string(Mid(argument, first + 2, static_cast<std::size_t>(durationLength)));
    }
    fields.textWidth = ParseInt16(Mid(argument, second + 2));
    return fields;
}

std::u16string RefusalLogText(std::u16string_view channel, std::u16string_view command,
                              std::string_view reason) {
    std::u16string text(channel);
    if (ParseVerb(command) != Verb::None) {
        text += u' ';
        text += command.substr(0, 3);
    }
    text += u": ";
    // The reasons are the program's own ASCII texts.
    for (char c : reason) {
        text += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    return text;
}

} // namespace plumwick
