#include "platform/qt_clock.h"

#include <QDateTime>

namespace vdl {

QtClock::QtClock() { timer_.start(); }

uint32_t QtClock::Millis() { return static_cast<uint32_t>(timer_.elapsed()); }

double QtClock::LocalNow() {
    QDateTime now = QDateTime::currentDateTime();
    QDate d = now.date();
    QTime t = now.time();
    return EncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec());
}

} // namespace vdl
