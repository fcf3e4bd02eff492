// The port list of the channel parameter dialog: "no port" first, then every port the system
// has except the one the other channel uses, and the channel's own port. Each entry shows the
// number and the device behind it; the texts that name a port and what went wrong with it.
#pragma once

#include "link/port_names.h"
#include "link/serial_port.h"

#include <string>
#include <string_view>
#include <vector>

namespace vdl {

class TextTable;

constexpr int kTxNoPort = 1206;        // entry for port number 0
constexpr int kTxPortPrefix = 1207;    // put before a port number
constexpr int kTxPortOpenFails = 1208; // a port cannot be opened: device, reason
constexpr int kTxLineLost = 2180;      // message record of a lost line: device, reason
constexpr int kTxLineBack = 2181;      // a lost line is open again: device
constexpr int kTxPortLost = 2182;      // a port shown as lost: device
constexpr int kTxPortFault = 2182;     // + PortFault (1..7): the reason in the program's words
constexpr int kMaxPortNumber = 65535;

struct PortList {
    std::vector<std::string> entries;
    std::vector<int> numbers; // the port number of each entry; 0 for "no port"
    int selected = 0;         // entry of the channel's port
};

// ports: the port numbers found on the system and the bound ones (ascending); otherPort: the
// port of the other channel (left out unless it is the channel's own); cnr: the channel's port.
// The channel's port is always in the list, so that confirming without a change keeps it.
PortList BuildPortList(const TextTable& t, const PortNames& names, const std::vector<int>& ports,
                       int otherPort, int cnr);
// The entry of a port number: text 1206 for 0, else text 1207 followed by the number and, when
// a device is behind it, two blanks and the device.
std::string PortEntryText(const TextTable& t, const PortNames& names, int number);
// Reads a port entry typed by the user: a number (the prefix, text 1207 in any case, may stand
// before it, the device after it), or a device, which is bound to a number when it has none.
// 0 when it is neither, or the number is above 65535.
int ReadPortEntry(const TextTable& t, PortNames& names, std::string_view text);
// Adds a number to the list when it is new and returns its entry.
int AddPort(const TextTable& t, const PortNames& names, PortList& list, int number);

// Why a port failed, in the program's words where the text table has them, else in the
// operating system's.
std::string PortFaultText(const TextTable& t, PortFault f, const std::string& osText);

} // namespace vdl
