// The event loop services of the channel engine: active waits that let the loop run, one-shot
// timers on the main thread and the run-now message of a channel.
#pragma once

#include "link/link_platform.h"

#include <QObject>

#include <functional>
#include <map>

class QTimer;

namespace vdl {

class QtLinkPlatform : public QObject, public LinkPlatform {
    Q_OBJECT
public:
    // runNow is called (through the event loop) for every posted run-now message.
    explicit QtLinkPlatform(std::function<void(int)> runNow, QObject* parent = nullptr);

    void ProcessEvents() override;
    void SleepMs(int ms) override;
    uint32_t StartOneShot(int ms, std::function<void()> callback) override;
    void CancelOneShot(uint32_t handle) override;
    void PostRunNow(int channel) override;

private:
    std::function<void(int)> runNow_;
    std::map<uint32_t, QTimer*> timers_;
    uint32_t next_ = 1;
};

} // namespace vdl
