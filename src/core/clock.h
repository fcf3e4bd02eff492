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
// True for a day number of the years 1900..9999. Anything else (not finite, or far outside any
// date a log can hold) is no time stamp: it is never converted.
bool StampUsable(double dt);
// The fields of a day number (also a span of time of less than a day); all fields 0 for one
// that is not finite or lies far beyond any calendar. Stamps of a log are shown only when
// StampUsable.
DateTimeParts DecodeDateTime(double dt);
// The day of a usable day number, rounded to the millisecond as DecodeDateTime rounds;
// kNoDay for one that is not.
constexpr int kNoDay = -1;
int DayOf(double dt);

} // namespace vdl
