#pragma once
// The fuzz target's own table of verbs, written out apart from the interpreter's so that it checks the
// parser rather than repeating it. A unit test holds the two tables to the same size and names.
#include "command/Command.h"

#include <array>
#include <string_view>
#include <utility>

namespace plumwick {

inline constexpr std::array<std::pair<std::u16string_view, Verb>, 11> kOracleVerbs{{
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

} // namespace plumwick
