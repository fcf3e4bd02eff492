// The system's clocks.
#pragma once

#include "core/clock.h"

#include <QElapsedTimer>

namespace vdl {

class QtClock : public Clock {
public:
    QtClock();
    uint32_t Millis() override;
    double LocalNow() override;

private:
    QElapsedTimer timer_;
};

} // namespace vdl
