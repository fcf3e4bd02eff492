#include "platform/port_registry.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace vdl {

namespace {

struct Range {
    int first;
    int count;
    const char* prefix;
};

#ifndef _WIN32
const Range kRanges[] = {
    {1, 64, "/dev/ttyS"},
    {65, 64, "/dev/ttyUSB"},
    {129, 64, "/dev/ttyACM"},
    {193, 63, "/dev/ttyAMA"},
};
#endif

// The number the fixed rule gives a device path, or 0.
int RuleNumber(const std::string& path) {
#ifdef _WIN32
    std::string p = path;
    if (p.rfind("\\\\.\\", 0) == 0) p = p.substr(4);
    if (p.size() > 3 && (p.compare(0, 3, "COM") == 0 || p.compare(0, 3, "com") == 0)) {
        int n = 0;
        for (size_t i = 3; i < p.size(); ++i) {
            if (p[i] < '0' || p[i] > '9') return 0;
            n = n * 10 + (p[i] - '0');
            if (n > 255) return 0;
        }
        return n;
    }
    return 0;
#else
    for (const Range& r : kRanges) {
        std::string pre = r.prefix;
        if (path.size() <= pre.size() || path.compare(0, pre.size(), pre) != 0) continue;
        std::string digits = path.substr(pre.size());
        if (digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        int k = std::stoi(digits);
        if (k < r.count) return r.first + k;
    }
    return 0;
#endif
}

} // namespace

std::string PortRegistry::DevicePath(int number) const {
    if (number <= 0) return "";
    if (number >= 256) {
        auto it = bound_.find(number);
        return it == bound_.end() ? "" : it->second;
    }
#ifdef _WIN32
    return "COM" + std::to_string(number);
#else
    for (const Range& r : kRanges)
        if (number >= r.first && number < r.first + r.count)
            return r.prefix + std::to_string(number - r.first);
    return "";
#endif
}

int PortRegistry::NumberOf(const std::string& path) const {
    if (int n = RuleNumber(path)) return n;
    for (const auto& [n, p] : bound_)
        if (p == path) return n;
    return 0;
}

int PortRegistry::Bind(const std::string& path) {
    if (int n = NumberOf(path)) return n;
    int n = bound_.empty() ? 256 : bound_.rbegin()->first + 1;
    bound_[n] = path;
    return n;
}

std::vector<int> PortRegistry::Enumerate() const {
    std::vector<int> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        int n = RuleNumber(info.systemLocation().toStdString());
        if (n == 0) n = RuleNumber(info.portName().toStdString());
        if (n > 0) out.push_back(n);
    }
    for (const auto& [n, p] : bound_) out.push_back(n);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace vdl
