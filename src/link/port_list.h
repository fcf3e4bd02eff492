// The port list of the channel parameter dialog: "no port" first, then every port the system
// has except the one the other channel uses, and the channel's own port.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vdl {

class TextTable;

constexpr int kTxNoPort = 1206;     // entry for port number 0
constexpr int kTxPortPrefix = 1207; // put before a port number
constexpr int kMaxPortNumber = 65535;

struct PortList {
    std::vector<std::string> entries;
    std::vector<int> numbers; // the port number of each entry; 0 for "no port"
    int selected = 0;         // entry of the channel's port
};

// ports: the port numbers found on the system and the bound ones (ascending); otherPort: the
// port of the other channel (left out unless it is the channel's own); cnr: the channel's port.
// The channel's port is always in the list, so that confirming without a change keeps it.
PortList BuildPortList(const TextTable& t, const std::vector<int>& ports, int otherPort, int cnr);
// The text of a port number: text 1206 for 0, else text 1207 followed by the number.
std::string PortEntryText(const TextTable& t, int number);
// Reads a port entry typed by the user: the prefix (text 1207, any case) may stand before the
// number. 0 when the rest is no number or above 65535.
int ReadPortEntry(const TextTable& t, std::string_view text);
// Adds a number to the list when it is new and returns its entry.
int AddPort(const TextTable& t, PortList& list, int number);

} // namespace vdl
