#include "rotation/TickPace.h"

#include <gtest/gtest.h>

using namespace plumwick;

// A fake clock in milliseconds; a 5 s rotation.
TEST(TickPace, OnTimeTicksKeepTheirIntervalAndALateOneRestartsIt) {
    TickPace pace;
    pace.Arm(1000, 5000);
    EXPECT_FALSE(pace.Overdue(5999));
    EXPECT_TRUE(pace.Overdue(6000));
    EXPECT_FALSE(pace.Tick(6000));
    EXPECT_FALSE(pace.Tick(11020)); // a little late is on time
    // The process stopped for 20 s: four ticks missed, the one that comes is late, and the timer starts
    // afresh so the next is a whole interval later, not at once.
    EXPECT_TRUE(pace.Tick(36000));
    EXPECT_FALSE(pace.Overdue(40999));
    EXPECT_FALSE(pace.Tick(41000));
}

TEST(TickPace, AfterSleepOneTickIsOverdueAndNoneWhenStopped) {
    TickPace pace;
    pace.Arm(0, 5000);
    // Asleep over night: one tick is due at once; once shown (and the timer armed again) none is.
    EXPECT_TRUE(pace.Overdue(8 * 3600 * 1000ull));
    EXPECT_TRUE(pace.Tick(8 * 3600 * 1000ull));
    EXPECT_FALSE(pace.Overdue(8 * 3600 * 1000ull + 10));
    // A stopped rotation (interval 0 or off) is never due nor late.
    pace.Arm(100, 0);
    EXPECT_FALSE(pace.Overdue(1000000));
    EXPECT_FALSE(pace.Tick(1000000));
}
