// A lock held for the whole run of a process: the instance slots of the program.
#pragma once

#include <string>

namespace vdl {

class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // Takes the lock of the given name without waiting; false when another holder has it.
    // A lock once taken is kept until this object is destroyed.
    virtual bool TryAcquire(const std::string& name) = 0;
};

} // namespace vdl
