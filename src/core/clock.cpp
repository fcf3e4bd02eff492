#include "core/clock.h"

#include <cmath>

namespace vdl {

namespace {

// Days from 1 January 1970 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

// Day numbers beyond this many days from day 0 are not converted (the years -25000..28000).
constexpr double kDecodableDays = 1e7;

// 30 December 1899 is day 0 of the day numbers.
const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

} // namespace

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int ms) {
    int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                   kEpochOffset;
    double frac = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + ms;
    return static_cast<double>(days) + frac / kMsPerDay;
}

bool StampUsable(double dt) {
    static const double first = EncodeDateTime(1900, 1, 1);
    static const double end = EncodeDateTime(10000, 1, 1);
    return std::isfinite(dt) && dt >= first && dt < end;
}

int DayOf(double dt) {
    return StampUsable(dt) ? static_cast<int>(std::floor(dt + 0.5 / kMsPerDay)) : kNoDay;
}

DateTimeParts DecodeDateTime(double dt) {
    DateTimeParts p{};
    // Beyond any calendar a program shows (or not a number) nothing is converted; a log's
    // stamps are judged by StampUsable before they are shown.
    if (!std::isfinite(dt) || std::fabs(dt) >= kDecodableDays) return p;
    // Whole milliseconds, rounded, so that a stamp written from a millisecond value reads back
    // as the same millisecond.
    double msAll = std::floor(dt * kMsPerDay + 0.5);
    int64_t total = static_cast<int64_t>(msAll);
    int64_t days = total >= 0 ? total / 86400000 : -((-total + 86399999) / 86400000);
    int64_t msOfDay = total - days * 86400000;
    CivilFromDays(days + kEpochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int>(msOfDay / 3600000);
    p.minute = static_cast<int>(msOfDay / 60000 % 60);
    p.second = static_cast<int>(msOfDay / 1000 % 60);
    p.ms = static_cast<int>(msOfDay % 1000);
    return p;
}

} // namespace vdl
