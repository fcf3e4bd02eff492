#include "core/clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

TEST(DayNumbers, StampsOutsideTheYears1900To9999AreNeverConverted) {
    struct Case {
        double dt;
        bool usable;
    };
    const Case cases[] = {
        {EncodeDateTime(1900, 1, 1), true},
        {EncodeDateTime(9999, 12, 31, 23, 59, 59, 999), true},
        {EncodeDateTime(1899, 12, 31, 23, 59), false},
        {EncodeDateTime(10000, 1, 1), false},
        {0.0, false},
        {1e300, false},
        {-1e300, false},
        {std::numeric_limits<double>::infinity(), false},
        {std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StampUsable(c.dt), c.usable) << c.dt;
        if (c.usable) {
            EXPECT_GE(DecodeDateTime(c.dt).year, 1900) << c.dt;
            EXPECT_EQ(DayOf(c.dt), static_cast<int>(std::floor(c.dt + 0.5 / kMsPerDay)));
        } else {
            EXPECT_EQ(DayOf(c.dt), kNoDay) << c.dt;
        }
    }
    // Far beyond any calendar nothing is converted; a span of less than a day is.
    for (double dt : {1e300, -1e300, std::numeric_limits<double>::infinity(),
                      std::numeric_limits<double>::quiet_NaN()}) {
        DateTimeParts p = DecodeDateTime(dt);
        EXPECT_EQ(p.year + p.month + p.day + p.hour + p.minute + p.second + p.ms, 0) << dt;
    }
    EXPECT_EQ(DecodeDateTime(0.5).hour, 12);
    // The last millisecond of a day rounds into the next, as the time shown does.
    EXPECT_EQ(DayOf(EncodeDateTime(2026, 12, 8) - 0.1 / kMsPerDay),
              static_cast<int>(EncodeDateTime(2026, 12, 8)));
}
