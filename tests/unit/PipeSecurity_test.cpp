#include "command/PipeSecurity.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

using namespace plumwick;

namespace {

constexpr char kUser[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

// The ACE strings of the DACL ('D') or the SACL ('S') of "D:P(...)(...)S:(...)".
std::vector<std::string> Aces(const std::string& sddl, char part) {
    std::size_t sacl = sddl.find(")S:");
    std::string body = part == 'D' ? sddl.substr(0, sacl == std::string::npos ? sddl.size() : sacl + 1)
                                   : (sacl == std::string::npos ? "" : sddl.substr(sacl + 1));
    std::vector<std::string> aces;
    std::regex ace(R"(\(([^)]*)\))");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), ace); it != std::sregex_iterator(); ++it) {
        aces.push_back((*it)[1]);
    }
    return aces;
}

} // namespace

TEST(PipeSecurityDescriptor, AdmitsTheUserSystemAndAdministratorsOnly) {
    std::optional<std::string> sddl = PipeSecurityDescriptor(kUser);
    ASSERT_TRUE(sddl);
    EXPECT_EQ(sddl->rfind("D:P(", 0), 0u) << "the DACL must be protected from inheritance: " << *sddl;
    std::vector<std::string> dacl = Aces(*sddl, 'D');
    EXPECT_EQ(dacl,
              (std::vector<std::string>{"A;;GA;;;SY", "A;;GA;;;BA", std::string("A;;GRGW;;;") + kUser}));
    // Nobody else: everyone, anonymous, network logons, any authenticated or interactive user, guests.
    for (const char* other : {";WD", ";AN", ";NU", ";AU", ";IU", ";BG", ";BU"}) {
        EXPECT_EQ(sddl->find(std::string(other) + ")"), std::string::npos) << other;
    }
}

TEST(PipeSecurityDescriptor, RefusesClientsBelowMediumIntegrity) {
    std::optional<std::string> sddl = PipeSecurityDescriptor(kUser);
    ASSERT_TRUE(sddl);
    EXPECT_EQ(Aces(*sddl, 'S'), (std::vector<std::string>{"ML;;NWNR;;;ME"}));
}

TEST(PipeSecurityDescriptor, TakesOnlyASidString) {
    for (const char* bad : {"", "S-1-", "S-1-5-", "S-1-5--21", "s-1-5-18", "SY", "WD",
                            "S-1-5-21-1)(A;;GA;;;WD", "S-1-5-21 ", "S-1-5-x"}) {
        EXPECT_FALSE(PipeSecurityDescriptor(bad)) << bad;
    }
    EXPECT_TRUE(PipeSecurityDescriptor("S-1-5-18"));
}
