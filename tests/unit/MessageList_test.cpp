#include "rotation/MessageList.h"

#include <gtest/gtest.h>

using namespace plumwick;

TEST(MessageList, CurrentIsTheLineAtTheWholeIndexAndNothingOutsideTheList) {
    MessageList messages{{u"a", u"b", u"c"}, 0};
    EXPECT_EQ(messages.Current(), u"a");
    messages.index = 2.7; // a whole number in a double; a fraction is dropped, not rounded up past the end
    EXPECT_EQ(messages.Current(), u"c");
    for (double outside : {3.0, -0.5, -1.0, 1e300}) {
        messages.index = outside;
        EXPECT_FALSE(messages.Current()) << outside;
    }
    messages = {{}, 0}; // republished empty
    EXPECT_FALSE(messages.Current());
}
