// What the channel service needs from the platform besides the port and the clocks: letting
// the event loop run during an active wait, a one-shot timer, and the run-now message.
#pragma once

#include <cstdint>
#include <functional>

namespace vdl {

class LinkPlatform {
public:
    virtual ~LinkPlatform() = default;
    // Lets the event loop process what is pending (port events, posted messages).
    virtual void ProcessEvents() = 0;
    // Gives the processor away for about ms milliseconds; 0: for a small part of one.
    virtual void SleepMs(int ms) = 0;
    // Starts a one-shot timer; the callback runs on the main thread. Returns a handle > 0.
    virtual uint32_t StartOneShot(int ms, std::function<void()> callback) = 0;
    virtual void CancelOneShot(uint32_t handle) = 0;
    // Posts the run-now message of a channel (0 or 1): its tick procedure runs as soon as the
    // event loop gets to it.
    virtual void PostRunNow(int channel) = 0;
};

} // namespace vdl
