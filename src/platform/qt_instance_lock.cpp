#include "platform/qt_instance_lock.h"

#include <QDir>
#include <QStandardPaths>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace vdl {

QtInstanceLock::QtInstanceLock(std::string dir) : dir_(std::move(dir)) {
    if (dir_.empty()) {
        QString d = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (d.isEmpty()) d = QDir::tempPath();
        dir_ = d.toStdString();
    }
}

QtInstanceLock::~QtInstanceLock() {
    for (long long h : held_) {
#ifdef _WIN32
        CloseHandle(reinterpret_cast<HANDLE>(h));
#else
        ::close(static_cast<int>(h));
#endif
    }
}

bool QtInstanceLock::TryAcquire(const std::string& name) {
#ifdef _WIN32
    HANDLE h = CreateMutexW(nullptr, TRUE, QString::fromStdString(name).toStdWString().c_str());
    if (!h) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(h);
        return false;
    }
    held_.push_back(reinterpret_cast<long long>(h));
    return true;
#else
    QDir().mkpath(QString::fromStdString(dir_));
    std::string path = dir_ + "/" + name + ".lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    held_.push_back(fd);
    return true;
#endif
}

} // namespace vdl
