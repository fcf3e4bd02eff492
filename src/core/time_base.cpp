#include "core/time_base.h"

#include <cmath>

namespace vdl {

namespace {
constexpr int64_t kDay = 86400000;
}

TimeBase::TimeBase(Clock& system) : sys_(system) { Resync(); }

void TimeBase::Resync() {
    double now = sys_.LocalNow();
    double day = std::floor(now);
    int64_t wallMs = std::llround((now - day) * kMsPerDay);
    int64_t clockMs = static_cast<int64_t>(sys_.Millis() % kDay);
    offset_ = wallMs - clockMs;
}

double TimeBase::LocalNow() {
    double now = sys_.LocalNow();
    double day = std::floor(now);
    int64_t ms = (static_cast<int64_t>(sys_.Millis()) + offset_) % kDay;
    if (ms < 0) ms += kDay;
    // Just after midnight the wall clock may already show the new day while the clock-derived
    // time of day is still in the old one (or the reverse): keep date and time together.
    double wallFrac = now - day;
    double frac = static_cast<double>(ms) / kMsPerDay;
    if (frac - wallFrac > 0.5) day -= 1;
    else if (wallFrac - frac > 0.5) day += 1;
    return day + frac;
}

} // namespace vdl
