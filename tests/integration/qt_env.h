// A Qt application object for tests that need the event loop, and a bounded wait that runs
// the loop until a condition holds (for real devices such as pseudo-terminals). The object is
// a QApplication, so that widget tests can share the process; without a display it draws
// off screen.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace vdl::test {

inline QCoreApplication& QtApp() {
    static int argc = 1;
    static char name[] = "vordal-tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QCoreApplication* app =
        QCoreApplication::instance() ? QCoreApplication::instance() : new QApplication(argc, argv);
    return *app;
}

// Runs the event loop until cond() is true or timeoutMs passed; returns cond().
inline bool RunLoopUntil(const std::function<bool()>& cond, int timeoutMs = 5000) {
    QtApp();
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

} // namespace vdl::test
