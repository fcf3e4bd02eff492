// The event loop services on a fake clock: sleeping and processing events advance the clock;
// one-shot timers fire when the test advances time past them.
#pragma once

#include "link/link_platform.h"
#include "support/fake_clock.h"

#include <map>
#include <vector>

namespace vdl::test {

class FakeLinkPlatform : public LinkPlatform {
public:
    explicit FakeLinkPlatform(FakeClock& c) : clock(c) {}

    void ProcessEvents() override {
        ++processed;
        clock.Advance(1);
    }
    void SleepMs(int ms) override {
        sleptMs += ms;
        clock.Advance(ms > 0 ? static_cast<uint32_t>(ms) : 1u);
    }
    uint32_t StartOneShot(int ms, std::function<void()> cb) override {
        uint32_t h = next++;
        timers[h] = {clock.ms + static_cast<uint32_t>(ms), std::move(cb)};
        startedMs.push_back(ms);
        return h;
    }
    void CancelOneShot(uint32_t h) override { timers.erase(h); }
    void PostRunNow(int channel) override { runNow.push_back(channel); }

    // Advances the clock and fires the timers that have become due.
    void Advance(uint32_t ms) {
        clock.Advance(ms);
        for (auto it = timers.begin(); it != timers.end();) {
            if (static_cast<int32_t>(clock.ms - it->second.at) >= 0) {
                auto cb = std::move(it->second.cb);
                it = timers.erase(it);
                cb();
            } else {
                ++it;
            }
        }
    }

    struct Timer {
        uint32_t at;
        std::function<void()> cb;
    };
    FakeClock& clock;
    std::map<uint32_t, Timer> timers;
    uint32_t next = 1;
    int processed = 0;
    int sleptMs = 0;
    std::vector<int> startedMs;
    std::vector<int> runNow;
};

} // namespace vdl::test
