#include "link/port_list.h"

#include "core/text_table.h"

#include <algorithm>
#include <cctype>

namespace vdl {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (prefix.empty() || s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

} // namespace

std::string PortEntryText(const TextTable& t, const PortNames& names, int number) {
    if (number == 0) return t.tx(kTxNoPort);
    std::string entry = t.tx(kTxPortPrefix) + std::to_string(number);
    std::string device = names.DevicePath(number);
    if (!device.empty() && device != entry) entry += "  " + device;
    return entry;
}

int ReadPortEntry(const TextTable& t, PortNames& names, std::string_view text) {
    std::string_view s = Trim(text);
    std::string device(s);
    if (names.IsDevice(device)) return names.Bind(device);
    std::string_view prefix = Trim(t.tx(kTxPortPrefix));
    if (StartsWithNoCase(s, prefix)) s = Trim(s.substr(prefix.size()));
    size_t digits = 0;
    while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9') ++digits;
    if (digits == 0 || digits > 5) return 0;
    int v = 0;
    for (size_t i = 0; i < digits; ++i) v = v * 10 + (s[i] - '0');
    if (v > kMaxPortNumber) return 0;
    // What follows the number may only be the device the list shows for it.
    std::string_view rest = Trim(s.substr(digits));
    if (!rest.empty() && rest != names.DevicePath(v)) return 0;
    return v;
}

int AddPort(const TextTable& t, const PortNames& names, PortList& list, int number) {
    auto it = std::find(list.numbers.begin(), list.numbers.end(), number);
    if (it != list.numbers.end()) return static_cast<int>(it - list.numbers.begin());
    list.numbers.push_back(number);
    list.entries.push_back(PortEntryText(t, names, number));
    return static_cast<int>(list.numbers.size()) - 1;
}

PortList BuildPortList(const TextTable& t, const PortNames& names, const std::vector<int>& ports,
                       int otherPort, int cnr) {
    PortList list;
    list.entries.push_back(PortEntryText(t, names, 0));
    list.numbers.push_back(0);
    for (int n : ports) {
        if (n <= 0 || n > kMaxPortNumber) continue;
        if (n == otherPort && n != cnr) continue;
        AddPort(t, names, list, n);
    }
    list.selected = cnr > 0 && cnr <= kMaxPortNumber ? AddPort(t, names, list, cnr) : 0;
    return list;
}

std::string PortFaultText(const TextTable& t, PortFault f, const std::string& osText) {
    int k = static_cast<int>(f);
    if (k >= static_cast<int>(PortFault::NoDevice) && k <= static_cast<int>(PortFault::HungUp)) {
        const std::string& own = t.tx(kTxPortFault + k);
        if (!own.empty()) return own;
    }
    return osText;
}

} // namespace vdl
