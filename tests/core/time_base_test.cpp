#include "core/time_base.h"

#include "support/fake_clock.h"

#include <gtest/gtest.h>

using namespace vdl;

TEST(TimeBase, StampsFollowTheMillisecondClockBetweenResyncs) {
    test::FakeClock sys;
    sys.ms = 123456;
    sys.start = EncodeDateTime(2026, 12, 8, 10, 0, 0) - sys.ms / kMsPerDay; // wall = 10:00:00.000
    TimeBase tb(sys);
    DateTimeParts p = DecodeDateTime(tb.LocalNow());
    EXPECT_EQ(p.hour, 10);
    EXPECT_EQ(p.minute, 0);
    EXPECT_EQ(p.ms, 0);
    sys.Advance(1234);
    p = DecodeDateTime(tb.LocalNow());
    EXPECT_EQ(p.second, 1);
    EXPECT_EQ(p.ms, 234);

    // The wall clock is set 5 s ahead: stamps keep their course until the next resync.
    sys.start += 5000 / kMsPerDay;
    p = DecodeDateTime(tb.LocalNow());
    EXPECT_EQ(p.second, 1);
    tb.Resync();
    p = DecodeDateTime(tb.LocalNow());
    EXPECT_EQ(p.second, 6);
    EXPECT_EQ(p.ms, 234);
}

TEST(TimeBase, MidnightKeepsDateAndTimeTogether) {
    test::FakeClock sys;
    sys.ms = 0;
    sys.start = EncodeDateTime(2026, 12, 8, 23, 59, 59, 900);
    TimeBase tb(sys);
    // The wall clock runs 50 ms slow after the resync: at 23:59:59.980 by the clock-derived
    // time the wall clock has not yet reached midnight, and at 00:00:00.010 it has.
    sys.start -= 50 / kMsPerDay;
    sys.Advance(80);
    DateTimeParts p = DecodeDateTime(tb.LocalNow());
    EXPECT_EQ(p.day, 8);
    EXPECT_EQ(p.hour, 23);
    sys.Advance(30);
    p = DecodeDateTime(tb.LocalNow());
    EXPECT_EQ(p.day, 9);
    EXPECT_EQ(p.hour, 0);
    EXPECT_EQ(p.ms, 10);
}
