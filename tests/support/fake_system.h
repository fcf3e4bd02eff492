// The per-user store, the folders and the instance lock of a test: all in memory or below a
// temporary folder.
#pragma once

#include "core/instance_lock.h"
#include "core/user_store.h"

#include <map>
#include <set>
#include <string>

namespace vdl::test {

class FakeStore : public KeyValueStore {
public:
    std::string Read(const std::string& key, const std::string& value) override {
        auto it = values.find(key + "|" + value);
        return it == values.end() ? std::string() : it->second;
    }
    bool Write(const std::string& key, const std::string& value, const std::string& data) override {
        values[key + "|" + value] = data;
        return true;
    }
    void Remove(const std::string& key, const std::string& value) override {
        values.erase(key + "|" + value);
    }
    std::map<std::string, std::string> values;
};

class FakeFolders : public Folders {
public:
    std::string AppDataFolder() override { return appData; }
    std::string ProgramFilesFolder() override { return programFiles; }
    std::string appData, programFiles;
};

// Names held by any FakeLock sharing the same set count as taken.
class FakeLock : public InstanceLock {
public:
    explicit FakeLock(std::set<std::string>& taken) : taken_(taken) {}
    bool TryAcquire(const std::string& name) override { return taken_.insert(name).second; }

private:
    std::set<std::string>& taken_;
};

} // namespace vdl::test
