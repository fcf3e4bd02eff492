// The time stamps of the log: today's date plus a time of day taken from the millisecond
// clock, so that stamps have millisecond resolution and do not jump between
// re-synchronisations with the wall clock. A TimeBase is itself a Clock: whoever stamps
// records asks its LocalNow().
#pragma once

#include "core/clock.h"

namespace vdl {

class TimeBase : public Clock {
public:
    explicit TimeBase(Clock& system);

    uint32_t Millis() override { return sys_.Millis(); }
    // Today's date + ((clock + offset) mod one day).
    double LocalNow() override;

    // Takes the offset between the wall clock's time of day and the millisecond clock afresh
    // (at start, when recording starts, and every 256 ticks while recording runs).
    void Resync();
    int64_t Offset() const { return offset_; }

private:
    Clock& sys_;
    int64_t offset_ = 0;
};

} // namespace vdl
