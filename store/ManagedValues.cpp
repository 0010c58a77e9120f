#include "store/ManagedValues.h"

#include "common/TextUtil.h"

#include <algorithm>
#include <array>
#include <string>

namespace plumwick {

namespace {

// 0: a message per line break; 1: messages parted by a blank line.
constexpr std::array<unsigned, 2> kSplitChoices{0, 1};

// Ranges are those the program already takes from its other sources: the interval field takes 0..60
// seconds, the font size 8..200 (whole points here: a DWORD), the colour schemes are 1..5.
constexpr std::array<ManagedValue, 14> kValues{{
    {u"ContentFolder", ManagedKind::Text, 0, 0, {}, u""},
    {u"Interval", ManagedKind::Number, 0, 60, {}, u""},
    {u"Publication", ManagedKind::Text, 0, 0, {}, u""},
    {u"Split", ManagedKind::Choice, 0, 0, kSplitChoices, u"0"},
    {u"UnlockHotkey", ManagedKind::Text, 0, 0, {}, u"Ctrl+Alt,87"},
    {u"Monitor", ManagedKind::Text, 0, 0, {}, u"primary"},
    {u"LockAtStart", ManagedKind::Flag, 0, 1, {}, u"0"},
    {u"FontName", ManagedKind::Text, 0, 0, {}, u"Microsoft YaHei"},
    {u"FontSize", ManagedKind::Number, 8, 200, {}, u"36"},
    {u"ColorScheme", ManagedKind::Number, 1, 5, {}, u"1"},
    {u"ShopName", ManagedKind::Text, 0, 0, {}, u""},
    {u"WebAddress", ManagedKind::Text, 0, 0, {}, u""},
    {u"HomePage", ManagedKind::Text, 0, 0, {}, u""},
    {u"StatusFolder", ManagedKind::Text, 0, 0, {}, u""},
}};

} // namespace

std::span<const ManagedValue> ManagedValues() {
    return kValues;
}

const ManagedValue* FindManagedValue(std::u16string_view name) {
    for (const ManagedValue& value : kValues) {
        if (value.name == name) {
            return &value;
        }
    }
    return nullptr;
}

namespace {

std::u16string Decimal(std::uint32_t number) {
    return Utf8ToUtf16(std::to_string(number));
}

// Whole decimal text, surrounding blanks allowed; nothing for anything else or past 32 bits.
std::optional<std::uint32_t> ParseWhole(std::u16string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - u'0');
    }
    if (value > 0xffffffffu) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::u16string Shown(const RegistryData& data) {
    switch (data.type) {
    case RegistryData::Type::Number:
        return Decimal(data.number);
    case RegistryData::Type::String:
        return u"\"" + (data.text.size() > 80 ? data.text.substr(0, 80) + u"..." : data.text) + u"\"";
    case RegistryData::Type::Other:
        break;
    }
    return u"(neither text nor a number)";
}

std::u16string RangeText(const ManagedValue& entry) {
    if (entry.kind == ManagedKind::Choice) {
        std::u16string list;
        for (unsigned choice : entry.choices) {
            list += (list.empty() ? u"" : u" or ") + Decimal(choice);
        }
        return u"must be " + list;
    }
    return u"must be a whole number from " + Decimal(entry.minValue) + u" to " + Decimal(entry.maxValue);
}

// The value as text when its kind and range are right; the problem otherwise.
std::optional<std::u16string> CheckKind(const ManagedValue& entry, const RegistryData& data,
                                        std::u16string& problem) {
    if (entry.kind == ManagedKind::Text) {
        if (data.type != RegistryData::Type::String) {
            problem = u"must be text";
            return std::nullopt;
        }
        return data.text;
    }
    std::optional<std::uint32_t> number;
    if (data.type == RegistryData::Type::Number) {
        number = data.number;
    } else if (data.type == RegistryData::Type::String) {
        number = ParseWhole(data.text);
    }
    bool good = false;
    if (number) {
        switch (entry.kind) {
        case ManagedKind::Choice:
            good = std::find(entry.choices.begin(), entry.choices.end(), *number) != entry.choices.end();
            break;
        case ManagedKind::Number:
        case ManagedKind::Flag:
            good = *number >= entry.minValue && *number <= entry.maxValue;
            break;
        case ManagedKind::Text:
            break;
        }
    }
    if (!good) {
        problem = RangeText(entry);
        return std::nullopt;
    }
    return Decimal(*number);
}

} // namespace

ManagedReading CheckManagedValues(ValueOrigin origin,
                                  const std::vector<std::pair<std::u16string, RegistryData>>& read,
                                  const ManagedRule& rule) {
    ManagedReading reading{ValueTable(origin), {}};
    std::u16string where = origin == ValueOrigin::Policy ? u"policy" : u"machine-wide";
    for (const auto& [name, data] : read) {
        const ManagedValue* entry = FindManagedValue(name);
        if (!entry) {
            continue;
        }
        if (data.type == RegistryData::Type::String && TrimBlanks(data.text).empty()) {
            continue;
        }
        std::u16string problem;
        std::optional<std::u16string> value = CheckKind(*entry, data, problem);
        if (value && rule) {
            if (std::optional<std::u16string> refused = rule(*entry, *value)) {
                problem = *refused;
                value.reset();
            }
        }
        if (value) {
            reading.values.Set(name, std::move(*value));
        } else {
            reading.problems.push_back(u"The " + where + u" value " + name + u" = " + Shown(data) +
                                       u" is ignored: " + problem + u".");
        }
    }
    return reading;
}

std::u16string IgnoredManagedValuesNotice(const std::vector<std::u16string>& problems) {
    std::u16string text;
    for (const std::u16string& problem : problems) {
        text += (text.empty() ? u"" : u"\n") + problem;
    }
    return text;
}

std::u16string AdministratorSetNotice(const std::vector<std::u16string>& names) {
    std::u16string list;
    for (const std::u16string& name : names) {
        list += (list.empty() ? u"" : u", ") + name;
    }
    return u"Set by your administrator: " + list +
           u". The toolbar, the font dialog and the content manager "
           u"show these values but cannot change them.";
}

Settings AdministeredLook(const Settings& file, LookChoice chosen, const ValueSource& policy,
                          const ValueSource& machine) {
    ValueTable user(ValueOrigin::User);
    ValueTable shop(ValueOrigin::ShopIni);
    std::u16string size = Utf8ToUtf16(FormatFontSize(file.fontSize));
    std::u16string scheme = Utf8ToUtf16(std::to_string(file.colorScheme));
    shop.Set(u"FontName", file.fontName);
    shop.Set(u"FontSize", size);
    shop.Set(u"ColorScheme", scheme);
    if (chosen.font) {
        user.Set(u"FontName", file.fontName);
        user.Set(u"FontSize", size);
    }
    if (chosen.scheme) {
        user.Set(u"ColorScheme", scheme);
    }
    std::vector<const ValueSource*> sources{&policy, &user, &machine, &shop};
    Settings look = file;
    look.fontName = ReadByPrecedence(sources, ManagedKey(u"FontName")).value_or(file.fontName);
    // Numbers from the registry were checked against the table; where the file's own win (a size of 10.5, a
    // scheme passed on as read) they stay as they are.
    if (std::optional<std::uint32_t> points =
            ParseWhole(*ReadByPrecedence(sources, ManagedKey(u"FontSize")))) {
        look.fontSize = static_cast<float>(*points);
    }
    if (std::optional<std::uint32_t> number =
            ParseWhole(*ReadByPrecedence(sources, ManagedKey(u"ColorScheme")))) {
        look.colorScheme = static_cast<std::int16_t>(*number);
    }
    return look;
}

Settings LookToKeep(const Settings& file, const Settings& shown, LookChoice chosen) {
    Settings kept = file;
    if (chosen.font) {
        kept.fontName = shown.fontName;
        kept.fontSize = shown.fontSize;
    }
    if (chosen.scheme) {
        kept.colorScheme = shown.colorScheme;
    }
    return kept;
}

namespace {

const std::u16string& PublicationInForce(const PublicationSources& sources) {
    return !sources.policy.empty() ? sources.policy : !sources.user.empty() ? sources.user : sources.machine;
}

bool AdministratorsPublication(const PublicationSources& sources) {
    return !sources.policy.empty() || (sources.user.empty() && !sources.machine.empty());
}

} // namespace

bool PublishesManagedPublication(const PublicationSources& before, const PublicationSources& after) {
    return AdministratorsPublication(after) && PublicationInForce(after) != PublicationInForce(before);
}

} // namespace plumwick
