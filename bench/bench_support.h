// Small stand-ins the benchmarks share: a clock that moves only when told, and messages that
// go nowhere.
#pragma once

#include "core/clock.h"
#include "core/messages.h"

namespace vdl::bench {

class StepClock : public Clock {
public:
    uint32_t Millis() override { return ms; }
    double LocalNow() override { return 46364.5 + ms / kMsPerDay; }
    uint32_t ms = 0;
};

class NullMessages : public Messages {
public:
    void Error(const std::string&) override {}
    void Info(const std::string&) override {}
    Answer Ask(const std::string&, bool) override { return Answer::No; }
};

} // namespace vdl::bench
