#include "core/clock.h"

#include <gtest/gtest.h>

using namespace vdl;

TEST(DayNumbers, KnownDatesAndRoundTrip) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 1, 1), 36526.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 1, 1, 12), 36526.5);
    double dt = EncodeDateTime(2024, 2, 29, 23, 59, 59, 999);
    DateTimeParts p = DecodeDateTime(dt);
    EXPECT_EQ(p.year, 2024);
    EXPECT_EQ(p.month, 2);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 23);
    EXPECT_EQ(p.minute, 59);
    EXPECT_EQ(p.second, 59);
    EXPECT_EQ(p.ms, 999);
    // Every millisecond of a day reads back as itself.
    for (int ms = 0; ms < 86400000; ms += 9973) {
        DateTimeParts q = DecodeDateTime(EncodeDateTime(2026, 12, 8) + ms / kMsPerDay);
        EXPECT_EQ(((q.hour * 60 + q.minute) * 60 + q.second) * 1000 + q.ms, ms);
        EXPECT_EQ(q.day, 8);
    }
}
