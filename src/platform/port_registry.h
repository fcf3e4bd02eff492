// Port numbers and the devices behind them.
//
// On Linux the numbers 1..255 follow a fixed rule:
//   1..64    /dev/ttyS0 .. /dev/ttyS63      (COM1 is ttyS0)
//   65..128  /dev/ttyUSB0 .. /dev/ttyUSB63
//   129..192 /dev/ttyACM0 .. /dev/ttyACM63
//   193..255 /dev/ttyAMA0 .. /dev/ttyAMA62
// Any device path (a pseudo-terminal of a virtual line, a symbolic link under /dev/serial/...)
// can be bound to a number of 256 or more; the binding lasts for the run of the program. On
// Windows the number n is the port "COMn".
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vdl {

class PortRegistry {
public:
    // The device of a port number, or "" for 0 or an unbound number of 256 and more.
    std::string DevicePath(int number) const;
    // Binds a device path; returns its number (the same number for a path bound before, the
    // rule's number for a device the rule already names).
    int Bind(const std::string& path);
    // The number of a device path by the rule or a binding; 0 when it has none.
    int NumberOf(const std::string& path) const;
    // The ports that exist on the system (by the rule) and the bound ones, ascending.
    std::vector<int> Enumerate() const;

private:
    std::map<int, std::string> bound_;
};

} // namespace vdl
