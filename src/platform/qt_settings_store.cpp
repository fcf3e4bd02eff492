#include "platform/qt_settings_store.h"

#include <QSettings>
#include <QStringList>

#include <memory>

namespace vdl {

namespace {

struct Where {
    std::unique_ptr<QSettings> s;
    QString group;
};

Where Open(const QString& ini, const std::string& key) {
    QStringList parts = QString::fromStdString(key).split('\\', Qt::SkipEmptyParts);
    Where w;
    if (!ini.isEmpty()) {
        w.s = std::make_unique<QSettings>(ini, QSettings::IniFormat);
        w.group = parts.join('/');
        return w;
    }
    if (!parts.isEmpty() && parts.front().compare("Software", Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    QString org = parts.value(0, "Vordal"), app = parts.value(1, "Vordal");
    w.s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, org, app);
    w.group = parts.mid(2).join('/');
    return w;
}

QString Path(const Where& w, const std::string& value) {
    QString v = QString::fromStdString(value);
    return w.group.isEmpty() ? v : w.group + "/" + v;
}

} // namespace

std::string QtSettingsStore::Read(const std::string& key, const std::string& value) {
    Where w = Open(ini_, key);
    return w.s->value(Path(w, value)).toString().toStdString();
}

bool QtSettingsStore::Write(const std::string& key, const std::string& value,
                            const std::string& data) {
    Where w = Open(ini_, key);
    w.s->setValue(Path(w, value), QString::fromStdString(data));
    w.s->sync();
    return w.s->status() == QSettings::NoError;
}

void QtSettingsStore::Remove(const std::string& key, const std::string& value) {
    Where w = Open(ini_, key);
    w.s->remove(Path(w, value));
    w.s->sync();
}

} // namespace vdl
