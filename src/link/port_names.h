// Port numbers and the devices behind them.
//
// On Linux the numbers 1..255 follow a fixed rule:
//   1..64    /dev/ttyS0 .. /dev/ttyS63      (COM1 is ttyS0)
//   65..128  /dev/ttyUSB0 .. /dev/ttyUSB63
//   129..192 /dev/ttyACM0 .. /dev/ttyACM63
//   193..255 /dev/ttyAMA0 .. /dev/ttyAMA62
// Any other device path (a pseudo-terminal of a virtual line, a link under /dev/serial/by-id)
// is bound to a number of 256 or more. The bindings are kept in the per-user store, so that a
// channel set to such a number finds its device again after a restart; a number once given to
// a path is never given to another. On Windows the number n is the port "COMn".
#pragma once

#include "core/user_store.h"

#include <map>
#include <string>
#include <vector>

namespace vdl {

// Where the bindings are kept: one value per number ("256", "257", ...) under this key.
inline constexpr const char* kRegPortKey = "Software\\Kelmar\\DemoVordal\\Ports";
constexpr int kFirstBoundPort = 256;
constexpr int kLastPortNumber = 65535;

class PortNames {
public:
#ifdef _WIN32
    static constexpr bool kComNames = true;
#else
    static constexpr bool kComNames = false;
#endif
    // comNames: the numbers are Windows' COM ports; otherwise the Linux rule above.
    explicit PortNames(bool comNames = kComNames) : com_(comNames) {}

    // Takes the bindings kept in the store; with write, every new binding is kept there too.
    void Attach(KeyValueStore& store, bool write);

    // The device of a port number, or "" for 0 or an unbound number.
    std::string DevicePath(int number) const;
    // How the user sees a port: its device, or the number when it has none.
    std::string Name(int number) const;
    // The number of a device by the rule or a binding; 0 when it has none.
    int NumberOf(const std::string& device) const;
    // True for text that names a device rather than a number (a path, a COM name).
    bool IsDevice(const std::string& text) const;
    // The number of a device, binding the next free number of 256 and more when it has none.
    // 0 when the text names no device or every number is taken. A binding that is not kept
    // lasts for this run only (a line the program makes for itself).
    int Bind(const std::string& device, bool keep = true);
    // The bound numbers and their devices, ascending.
    const std::map<int, std::string>& Bound() const {
        return bound_;
    }

private:
    int RuleNumber(const std::string& device) const;
    void Reload();

    bool com_;
    std::map<int, std::string> bound_;
    KeyValueStore* store_ = nullptr;
    bool write_ = false;
};

} // namespace vdl
