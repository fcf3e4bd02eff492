// A clock that moves only when the test says so.
#pragma once

#include "core/clock.h"

namespace vdl::test {

class FakeClock : public Clock {
public:
    uint32_t Millis() override { return ms; }
    double LocalNow() override { return start + ms / kMsPerDay; }
    void Advance(uint32_t d) { ms += d; }

    uint32_t ms = 1000;
    double start = EncodeDateTime(2026, 12, 8, 10, 0, 0);
};

} // namespace vdl::test
