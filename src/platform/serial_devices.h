// The serial ports that exist on this system.
#pragma once

#include <string>
#include <vector>

namespace vdl {

class PortNames;

// The system's serial devices: on Linux the ttyS, ttyUSB, ttyACM and ttyAMA devices (and the
// others the toolkit finds) and the links under /dev/serial/by-id; on Windows the COM ports.
std::vector<std::string> SerialDevices();
// The port numbers of the system's devices (a device the number rule does not name is bound to
// one) and of the bound devices that are present, ascending.
std::vector<int> EnumeratePorts(PortNames& names);

} // namespace vdl
