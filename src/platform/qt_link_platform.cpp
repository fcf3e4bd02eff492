#include "platform/qt_link_platform.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace vdl {

QtLinkPlatform::QtLinkPlatform(std::function<void(int)> runNow, QObject* parent)
    : QObject(parent), runNow_(std::move(runNow)) {}

void QtLinkPlatform::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtLinkPlatform::SleepMs(int ms) {
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
    else
        QThread::usleep(100);
}

uint32_t QtLinkPlatform::StartOneShot(int ms, std::function<void()> callback) {
    uint32_t h = next_++;
    if (next_ == 0) next_ = 1;
    auto* t = new QTimer(this);
    t->setSingleShot(true);
    t->setTimerType(Qt::PreciseTimer);
    connect(t, &QTimer::timeout, this, [this, h, cb = std::move(callback)] {
        auto it = timers_.find(h);
        if (it == timers_.end()) return;
        it->second->deleteLater();
        timers_.erase(it);
        cb();
    });
    timers_[h] = t;
    t->start(ms);
    return h;
}

void QtLinkPlatform::CancelOneShot(uint32_t handle) {
    auto it = timers_.find(handle);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

void QtLinkPlatform::PostRunNow(int channel) {
    QMetaObject::invokeMethod(
        this,
        [this, channel] {
            if (runNow_) runNow_(channel);
        },
        Qt::QueuedConnection);
}

} // namespace vdl
