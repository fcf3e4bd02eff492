#include "platform/qt_folders.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace vdl {

namespace {
std::string WithSlash(const QString& dir) {
    if (dir.isEmpty()) return {};
    QString d = QDir::toNativeSeparators(dir);
    if (!d.endsWith(QDir::separator())) d += QDir::separator();
    return d.toStdString();
}
} // namespace

std::string QtFolders::AppDataFolder() {
    return WithSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

std::string QtFolders::ProgramFilesFolder() {
#ifdef _WIN32
    return WithSlash(QProcessEnvironment::systemEnvironment().value("ProgramFiles"));
#else
    return {};
#endif
}

} // namespace vdl
