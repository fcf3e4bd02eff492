// The clocks of the program: a millisecond counter for time-outs and the local wall clock for
// time stamps. The platform layer gives the system's; tests use a fake that only moves when
// told to.
#pragma once

#include <cstdint>

namespace vdl {

class Clock {
public:
    virtual ~Clock() = default;
    // Millisecond counter; wraps at 2^32. Only differences are meaningful.
    virtual uint32_t Millis() = 0;
    // Local date and time as a day number (days since 30 December 1899, fraction = time of day).
    virtual double LocalNow() = 0;
};

// Day-number helpers.
constexpr double kMsPerDay = 86400000.0;
// Day number of a civil date and time of day (local, no time zone).
double EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                      int ms = 0);
struct DateTimeParts {
    int year, month, day, hour, minute, second, ms;
};
DateTimeParts DecodeDateTime(double dt);

} // namespace vdl
