#include "command/Command.h"
#include "fuzz/FuzzVerbs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace plumwick;

// The fuzz target's table is written out on its own to check the parser; when a verb is added to one
// table and not the other, the fuzz target would silently stop checking it.
TEST(VerbTables, TheFuzzOracleAndTheInterpreterKnowTheSameVerbs) {
    std::span<const VerbName> interpreter = VerbNames();
    ASSERT_EQ(interpreter.size(), kOracleVerbs.size());
    std::set<std::u16string_view> interpreterNames;
    for (const VerbName& entry : interpreter) {
        interpreterNames.insert(entry.name);
        EXPECT_EQ(ParseVerb(entry.name), entry.verb) << std::string(entry.name.begin(), entry.name.end());
    }
    std::set<std::u16string_view> oracleNames;
    for (const auto& [name, verb] : kOracleVerbs) {
        oracleNames.insert(name);
        EXPECT_EQ(ParseVerb(name), verb) << std::string(name.begin(), name.end());
    }
    EXPECT_EQ(interpreterNames, oracleNames);
    EXPECT_EQ(interpreterNames.size(), interpreter.size()) << "a verb is listed twice";
}
