#include "content/ReparseTag.h"

#include <gtest/gtest.h>

using namespace plumwick;

// Tag values as the window system defines them; the test cannot make these folders under Wine.
TEST(ReparseTag, LinksAndJunctionsAreNotWalkedButSyncedAndOtherFoldersAre) {
    struct Case {
        const char* what;
        std::uint32_t tag;
        bool walked;
    };
    const Case cases[] = {
        {"junction (mount point)", 0xA0000003u, false},
        {"symbolic link", 0xA000000Cu, false},
        {"WSL-style name surrogate", 0xA000001Du, false},
        {"any tag with the surrogate bit", 0x20000000u, false},
        {"OneDrive placeholder", 0x9000001Au, true},
        {"cloud placeholder, another variant", 0x9000701Au, true},
        {"deduplicated file", 0x80000013u, true},
        {"unknown tag", 0x00000001u, true},
        {"no tag given by the listing", 0u, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WalksReparseFolder(c.tag), c.walked) << c.what;
    }
}
