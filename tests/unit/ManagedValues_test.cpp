#include "app/ManagedRules.h"
#include "store/ManagedValues.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

RegistryData Text(std::u16string text) {
    return RegistryData{RegistryData::Type::String, std::move(text), 0};
}
RegistryData Number(std::uint32_t number) {
    return RegistryData{RegistryData::Type::Number, {}, number};
}

std::u16string Joined(const std::vector<std::u16string>& problems) {
    std::u16string all;
    for (const auto& problem : problems) {
        all += problem + u"\n";
    }
    return all;
}

bool Mentions(const std::vector<std::u16string>& problems, std::u16string_view part) {
    return Joined(problems).find(part) != std::u16string::npos;
}

} // namespace

TEST(ManagedValues, EachKindIsCheckedAgainstTheTableAndABadValueIsNamedAndLeftOut) {
    ManagedReading reading = CheckManagedValues(ValueOrigin::Policy, {
                                                                         {u"Interval", Number(60)},
                                                                         {u"FontSize", Number(7)},
                                                                         {u"ColorScheme", Text(u" 4 ")},
                                                                         {u"Split", Number(2)},
                                                                         {u"LockAtStart", Number(1)},
                                                                         {u"ShopName", Number(3)},
                                                                         {u"WebAddress", Text(u"   ")},
                                                                         {u"Monitor", RegistryData{}},
                                                                         {u"SomethingElse", Number(1)},
                                                                     });
    const ValueTable& values = reading.values;
    EXPECT_EQ(values.Read(ManagedKey(u"Interval")), u"60");
    EXPECT_EQ(values.Read(ManagedKey(u"ColorScheme")), u"4"); // decimal text, as reg add writes without /t
    EXPECT_EQ(values.Read(ManagedKey(u"LockAtStart")), u"1");
    EXPECT_FALSE(values.Holds(u"FontSize"));   // below 8
    EXPECT_FALSE(values.Holds(u"Split"));      // not a choice
    EXPECT_FALSE(values.Holds(u"ShopName"));   // a number where text belongs
    EXPECT_FALSE(values.Holds(u"WebAddress")); // blank text is no value, and no problem
    EXPECT_FALSE(values.Holds(u"Monitor"));    // neither text nor a number
    EXPECT_FALSE(values.Holds(u"SomethingElse"));
    ASSERT_EQ(reading.problems.size(), 4u)
        << std::string(Joined(reading.problems).begin(), Joined(reading.problems).end());
    EXPECT_TRUE(Mentions(reading.problems,
                         u"policy value FontSize = 7 is ignored: must be a whole number from 8 to 200"));
    EXPECT_TRUE(Mentions(reading.problems, u"Split = 2 is ignored: must be 0 or 1"));
    EXPECT_TRUE(Mentions(reading.problems, u"ShopName = 3 is ignored: must be text"));
    EXPECT_TRUE(Mentions(reading.problems, u"Monitor"));
    EXPECT_FALSE(Mentions(reading.problems, u"SomethingElse"));

    ManagedReading machine = CheckManagedValues(
        ValueOrigin::Machine, {{u"Interval", Text(u"61")}, {u"FontSize", Text(u"4294967296")}});
    EXPECT_TRUE(machine.values.Names().empty());
    EXPECT_TRUE(Mentions(machine.problems, u"machine-wide value Interval = \"61\""));
    EXPECT_TRUE(Mentions(machine.problems, u"FontSize"));
}

TEST(ManagedValues, TheProgramsOwnRulesRefuseWhatNoOtherSourceCouldGive) {
    ManagedRule rule = ProgramRules(u"C:\\Program Files\\plumwick", [](std::u16string_view text) {
        std::u16string expanded(text);
        if (expanded.starts_with(u"%PUBLIC%")) {
            expanded.replace(0, 8, u"C:\\Users\\Public");
        }
        return expanded;
    });
    ManagedReading reading = CheckManagedValues(ValueOrigin::Policy,
                                                {
                                                    {u"ContentFolder", Text(u"%PUBLIC%\\Shop")},
                                                    {u"UnlockHotkey", Text(u"Ctrl+Shift,76")},
                                                    {u"Monitor", Text(u"secondary")},
                                                    {u"Publication", Text(u"offers\\a.txt|b.txt")},
                                                    {u"HomePage", Text(u"https://intranet.example/shop")},
                                                    {u"FontName", Text(u"Arial")},
                                                },
                                                rule);
    EXPECT_EQ(reading.values.Read(ManagedKey(u"ContentFolder")), u"%PUBLIC%\\Shop"); // kept as written
    EXPECT_EQ(reading.values.Names().size(), 6u);
    EXPECT_TRUE(reading.problems.empty());

    ManagedReading bad = CheckManagedValues(ValueOrigin::Machine,
                                            {
                                                {u"ContentFolder", Text(u"\\Text")},
                                                {u"UnlockHotkey", Text(u"W")},
                                                {u"Monitor", Text(u"left")},
                                                {u"Publication", Text(u"..\\secret.txt")},
                                                {u"HomePage", Text(u"C:\\Windows\\system32\\cmd.exe")},
                                                {u"FontName", Text(std::u16string(32, u'x'))},
                                                {u"StatusFolder", Text(u"D:status")},
                                            },
                                            rule);
    EXPECT_TRUE(bad.values.Names().empty());
    EXPECT_EQ(bad.problems.size(), 7u);
    for (std::u16string_view name : {u"ContentFolder", u"UnlockHotkey", u"Monitor", u"Publication",
                                     u"HomePage", u"FontName", u"StatusFolder"}) {
        EXPECT_TRUE(Mentions(bad.problems, std::u16string(name) + u" = "))
            << std::string(name.begin(), name.end());
    }
    // A refused folder says what is wrong with it, not where the content goes: a weaker source applies.
    EXPECT_TRUE(Mentions(bad.problems, u"names no drive"));
    EXPECT_FALSE(Mentions(bad.problems, u"stays Text"));
    // A publication must name files below the content folder.
    for (std::u16string_view outside : {u"C:\\a.txt", u"\\a.txt", u"sub\\..\\..\\a.txt", u"|"}) {
        EXPECT_FALSE(
            CheckManagedValues(ValueOrigin::Policy, {{u"Publication", Text(std::u16string(outside))}}, rule)
                .values.Holds(u"Publication"));
    }
}

TEST(ManagedValues, PolicyBeatsTheUsersChoiceWhichBeatsMachineWhichBeatsTheFile) {
    Settings file{u"SimSun", 24.0f, 2};
    ValueTable policy(ValueOrigin::Policy);
    ValueTable machine(ValueOrigin::Machine);
    machine.Set(u"FontName", u"Arial");
    machine.Set(u"FontSize", u"48");
    machine.Set(u"ColorScheme", u"5");

    // Nothing chosen: machine-wide over the shop's file.
    Settings shown = AdministeredLook(file, {}, policy, machine);
    EXPECT_EQ(shown.fontName, u"Arial");
    EXPECT_EQ(shown.fontSize, 48.0f);
    EXPECT_EQ(shown.colorScheme, 5);

    // The user chose the font: theirs over machine-wide; the scheme still machine-wide.
    shown = AdministeredLook(Settings{u"SimSun", 10.5f, 2}, LookChoice{true, false}, policy, machine);
    EXPECT_EQ(shown.fontName, u"SimSun");
    EXPECT_EQ(shown.fontSize, 10.5f);
    EXPECT_EQ(shown.colorScheme, 5);

    // Policy over the user's choice.
    policy.Set(u"ColorScheme", u"3");
    shown = AdministeredLook(file, LookChoice{true, true}, policy, machine);
    EXPECT_EQ(shown.colorScheme, 3);
    EXPECT_EQ(shown.fontSize, 24.0f);

    // Nothing administered: the file as it is, even a scheme passed on as read.
    ValueTable none(ValueOrigin::Machine);
    Settings odd{u"SimSun", 24.0f, -3};
    EXPECT_EQ(AdministeredLook(odd, {}, none, none).colorScheme, -3);

    // The file keeps what the user chose, never an administrator's value.
    Settings kept = LookToKeep(file, Settings{u"Arial", 48.0f, 3}, LookChoice{false, true});
    EXPECT_EQ(kept.fontName, u"SimSun");
    EXPECT_EQ(kept.fontSize, 24.0f);
    EXPECT_EQ(kept.colorScheme, 3);
}

TEST(ManagedValues, AdministeredKeysReadThroughTheOneStoreAndUserOnlyKeysIgnoreTheTables) {
    ValueTable policy(ValueOrigin::Policy);
    ValueTable machine(ValueOrigin::Machine);
    ValueTable shop(ValueOrigin::ShopIni);
    machine.Set(u"Interval", u"15");
    machine.Set(u"ContentFolder", u"D:\\Machine");
    shop.Set(u"ContentFolder", u"D:\\Shop");
    std::vector<const ValueSource*> sources{&shop, &machine, &policy};
    EXPECT_EQ(ReadByPrecedence(sources, kIntervalKey), u"15");
    EXPECT_EQ(ReadByPrecedence(sources, ManagedKey(u"ContentFolder")), u"D:\\Machine");
    EXPECT_EQ(ReadByPrecedence(sources, kDisplayTopKey), std::nullopt); // only the user's memory
    policy.Set(u"ContentFolder", u"\\\\hq\\Text");
    EXPECT_EQ(ReadByPrecedence(sources, ManagedKey(u"ContentFolder")), u"\\\\hq\\Text");
    policy.Set(u"ContentFolder", u"E:\\Again"); // set again replaces
    EXPECT_EQ(policy.Names(), std::vector<std::u16string>{u"ContentFolder"});
}

TEST(ManagedValues, NoticesNameEveryValue) {
    std::u16string set = AdministratorSetNotice({u"Interval", u"ColorScheme"});
    EXPECT_NE(set.find(u"Interval, ColorScheme"), std::u16string::npos);
    EXPECT_NE(set.find(u"administrator"), std::u16string::npos);
    EXPECT_EQ(IgnoredManagedValuesNotice({u"a", u"b"}), u"a\nb");
}

TEST(ManagedValues, APublicationChangedWhileRunningIsPublishedOnlyWhereItWouldBeAtStart) {
    using S = PublicationSources;
    // A policy is published whenever it changes what is in force, over the user's own as well.
    EXPECT_TRUE(PublishesManagedPublication(S{u"", u"mine.txt", u""}, S{u"news.txt", u"mine.txt", u""}));
    EXPECT_TRUE(PublishesManagedPublication(S{u"a.txt", u"", u""}, S{u"b.txt", u"", u""}));
    // Rewritten the same (a policy refresh) or set to what already runs: nothing to publish again.
    EXPECT_FALSE(PublishesManagedPublication(S{u"a.txt", u"", u""}, S{u"a.txt", u"", u""}));
    EXPECT_FALSE(PublishesManagedPublication(S{u"", u"a.txt", u""}, S{u"a.txt", u"a.txt", u""}));
    // A machine-wide value only where the user has none remembered and no policy stands over it.
    EXPECT_TRUE(PublishesManagedPublication(S{u"", u"", u""}, S{u"", u"", u"week.txt"}));
    EXPECT_TRUE(PublishesManagedPublication(S{u"", u"", u"old.txt"}, S{u"", u"", u"week.txt"}));
    EXPECT_FALSE(PublishesManagedPublication(S{u"", u"mine.txt", u""}, S{u"", u"mine.txt", u"week.txt"}));
    EXPECT_FALSE(PublishesManagedPublication(S{u"p.txt", u"", u""}, S{u"p.txt", u"", u"week.txt"}));
    // A policy withdrawn: the machine-wide value comes in force when the user has none; the user's own is
    // left as it is.
    EXPECT_TRUE(PublishesManagedPublication(S{u"p.txt", u"", u"week.txt"}, S{u"", u"", u"week.txt"}));
    EXPECT_FALSE(PublishesManagedPublication(S{u"p.txt", u"mine.txt", u""}, S{u"", u"mine.txt", u""}));
    EXPECT_FALSE(PublishesManagedPublication(S{u"p.txt", u"", u""}, S{u"", u"", u""}));
}
