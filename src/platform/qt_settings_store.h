// The per-user key-value store on QSettings. A key "Software\Org\App[\Group...]" becomes the
// settings of organisation Org and application App (the system's native place), or, for tests
// and portable use, a group of one INI file.
#pragma once

#include "core/user_store.h"

#include <QString>

namespace vdl {

class QtSettingsStore : public KeyValueStore {
public:
    QtSettingsStore() = default;
    // All keys in one INI file.
    explicit QtSettingsStore(QString iniFile) : ini_(std::move(iniFile)) {}

    std::string Read(const std::string& key, const std::string& value) override;
    bool Write(const std::string& key, const std::string& value, const std::string& data) override;
    void Remove(const std::string& key, const std::string& value) override;

private:
    QString ini_;
};

} // namespace vdl
