// Instance slots through a lock file per name in the user's runtime folder (flock on Unix,
// released by the system when the process ends) or a named mutex on Windows.
#pragma once

#include "core/instance_lock.h"

#include <string>
#include <vector>

namespace vdl {

class QtInstanceLock : public InstanceLock {
public:
    // dir: where the lock files live; empty = the user's runtime folder.
    explicit QtInstanceLock(std::string dir = "");
    ~QtInstanceLock() override;
    bool TryAcquire(const std::string& name) override;

private:
    std::string dir_;
    std::vector<long long> held_; // file descriptors or mutex handles
};

} // namespace vdl
