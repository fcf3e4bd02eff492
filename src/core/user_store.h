// What the settings need from the system beyond files: a per-user key-value store (the place
// that remembers the data directory) and the user's application-data folder. The platform
// layer gives the system's; tests give their own.
#pragma once

#include <string>

namespace vdl {

// The key under which the data directory is remembered, and the name of its value (instance 2
// appends its number).
inline constexpr const char* kRegKey = "Software\\Kelmar\\DemoVordal";
inline constexpr const char* kRegDataDir = "DataDirectory";

class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;
    // The string of a value; empty when the key or the value does not exist. Never creates
    // the key.
    virtual std::string Read(const std::string& key, const std::string& value) = 0;
    // Writes a value, creating the key when needed. False when the store cannot be written.
    virtual bool Write(const std::string& key, const std::string& value,
                       const std::string& data) = 0;
    // Removes a value; a missing one is no error.
    virtual void Remove(const std::string& key, const std::string& value) = 0;
};

class Folders {
public:
    virtual ~Folders() = default;
    // The user's application-data folder, with a trailing separator.
    virtual std::string AppDataFolder() = 0;
    // The system's folder of installed programs, with a trailing separator; empty where the
    // system has none.
    virtual std::string ProgramFilesFolder() = 0;
};

} // namespace vdl
