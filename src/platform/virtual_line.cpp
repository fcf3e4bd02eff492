#include "platform/virtual_line.h"

#ifndef _WIN32

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace vdl {

VirtualLine::VirtualLine(QObject* parent) : QObject(parent) {}

VirtualLine::~VirtualLine() {
    for (int i = 0; i < 2; ++i) {
        delete notifier_[i];
        if (master_[i] >= 0) ::close(master_[i]);
        if (slaveHold_[i] >= 0) ::close(slaveHold_[i]);
    }
}

bool VirtualLine::Create() {
    for (int i = 0; i < 2; ++i) {
        int m = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m < 0 || grantpt(m) != 0 || unlockpt(m) != 0) {
            error_ = std::string("pseudo-terminal: ") + std::strerror(errno);
            if (m >= 0) ::close(m);
            return false;
        }
        char name[256];
        if (ptsname_r(m, name, sizeof name) != 0) {
            error_ = std::string("pseudo-terminal name: ") + std::strerror(errno);
            ::close(m);
            return false;
        }
        master_[i] = m;
        path_[i] = name;
        slaveHold_[i] = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (slaveHold_[i] >= 0) {
            // Raw from the start: no echo, no line editing before a port opens this end.
            termios tio{};
            if (tcgetattr(slaveHold_[i], &tio) == 0) {
                cfmakeraw(&tio);
                tcsetattr(slaveHold_[i], TCSANOW, &tio);
            }
        }
    }
    for (int i = 0; i < 2; ++i) {
        notifier_[i] = new QSocketNotifier(master_[i], QSocketNotifier::Read, this);
        connect(notifier_[i], &QSocketNotifier::activated, this, [this, i] { Relay(i); });
    }
    return true;
}

void VirtualLine::Relay(int from) {
    int to = 1 - from;
    char buf[4096];
    for (;;) {
        ssize_t r = ::read(master_[from], buf, sizeof buf);
        if (r <= 0) break;
        ssize_t off = 0;
        while (off < r) {
            ssize_t w = ::write(master_[to], buf + off, static_cast<size_t>(r - off));
            if (w > 0) {
                off += w;
            } else if (w < 0 && errno == EINTR) {
                continue;
            } else {
                break; // the far end's input is full: drop the rest, as a line would
            }
        }
        carried_[from] += static_cast<quint64>(off);
    }
}

} // namespace vdl

#endif
