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

std::string PortEntryText(const TextTable& t, int number) {
    if (number == 0) return t.tx(kTxNoPort);
    return t.tx(kTxPortPrefix) + std::to_string(number);
}

int ReadPortEntry(const TextTable& t, std::string_view text) {
    std::string_view s = Trim(text);
    std::string_view prefix = Trim(t.tx(kTxPortPrefix));
    if (StartsWithNoCase(s, prefix)) s = Trim(s.substr(prefix.size()));
    if (s.empty() || s.size() > 5) return 0;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return 0;
        v = v * 10 + (c - '0');
    }
    return v > kMaxPortNumber ? 0 : v;
}

int AddPort(const TextTable& t, PortList& list, int number) {
    auto it = std::find(list.numbers.begin(), list.numbers.end(), number);
    if (it != list.numbers.end()) return static_cast<int>(it - list.numbers.begin());
    list.numbers.push_back(number);
    list.entries.push_back(PortEntryText(t, number));
    return static_cast<int>(list.numbers.size()) - 1;
}

PortList BuildPortList(const TextTable& t, const std::vector<int>& ports, int otherPort, int cnr) {
    PortList list;
    list.entries.push_back(PortEntryText(t, 0));
    list.numbers.push_back(0);
    for (int n : ports) {
        if (n <= 0 || n > kMaxPortNumber) continue;
        if (n == otherPort && n != cnr) continue;
        AddPort(t, list, n);
    }
    list.selected = cnr > 0 && cnr <= kMaxPortNumber ? AddPort(t, list, cnr) : 0;
    return list;
}

} // namespace vdl
