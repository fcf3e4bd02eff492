#include "link/port_names.h"

#include <cctype>

namespace vdl {

namespace {

struct Range {
    int first;
    int count;
    const char* prefix;
};

const Range kRanges[] = {
    {1, 64, "/dev/ttyS"},
    {65, 64, "/dev/ttyUSB"},
    {129, 64, "/dev/ttyACM"},
    {193, 63, "/dev/ttyAMA"},
};

// The decimal number of all of s (at most digits long), or -1.
int Digits(const std::string& s, size_t digits) {
    if (s.empty() || s.size() > digits) return -1;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

int PortNames::RuleNumber(const std::string& device) const {
    if (com_) {
        std::string p = device;
        if (p.rfind("\\\\.\\", 0) == 0) p = p.substr(4);
        if (p.size() < 4) return 0;
        for (size_t i = 0; i < 3; ++i)
            if (std::toupper(static_cast<unsigned char>(p[i])) != "COM"[i]) return 0;
        int n = Digits(p.substr(3), 5);
        return n > 0 && n < kFirstBoundPort ? n : 0;
    }
    for (const Range& r : kRanges) {
        std::string pre = r.prefix;
        if (device.size() <= pre.size() || device.compare(0, pre.size(), pre) != 0) continue;
        int k = Digits(device.substr(pre.size()), 2);
        if (k >= 0 && k < r.count) return r.first + k;
    }
    return 0;
}

void PortNames::Reload() {
    if (!store_) return;
    // The numbers are given in order and never taken back: the first gap ends the list.
    for (int n = kFirstBoundPort; n <= kLastPortNumber; ++n) {
        std::string path = store_->Read(kRegPortKey, std::to_string(n));
        if (path.empty()) break;
        bound_[n] = path;
    }
}

void PortNames::Attach(KeyValueStore& store, bool write) {
    store_ = &store;
    write_ = write;
    Reload();
}

std::string PortNames::DevicePath(int number) const {
    if (number <= 0) return "";
    if (number >= kFirstBoundPort) {
        auto it = bound_.find(number);
        if (it != bound_.end()) return it->second;
    }
    if (com_) return "COM" + std::to_string(number);
    if (number >= kFirstBoundPort) return "";
    for (const Range& r : kRanges)
        if (number >= r.first && number < r.first + r.count)
            return r.prefix + std::to_string(number - r.first);
    return "";
}

std::string PortNames::Name(int number) const {
    std::string d = DevicePath(number);
    return d.empty() ? std::to_string(number) : d;
}

int PortNames::NumberOf(const std::string& device) const {
    if (int n = RuleNumber(device)) return n;
    for (const auto& [n, p] : bound_)
        if (p == device) return n;
    return 0;
}

bool PortNames::IsDevice(const std::string& text) const {
    if (com_) return RuleNumber(text) > 0 || (text.size() > 4 && text.rfind("\\\\.\\", 0) == 0);
    return text.size() > 1 && text[0] == '/';
}

int PortNames::Bind(const std::string& device, bool keep) {
    if (!IsDevice(device)) return 0;
    if (int n = NumberOf(device)) return n;
    // The other instance of the program may have kept bindings since we last looked.
    if (write_) {
        Reload();
        if (int n = NumberOf(device)) return n;
    }
    // Kept numbers follow one another from 256 up; those of this run only come from the top
    // down, so that they never take a number the store may give to another device.
    int n = keep ? kFirstBoundPort : kLastPortNumber;
    while (bound_.count(n) && n >= kFirstBoundPort && n <= kLastPortNumber) n += keep ? 1 : -1;
    if (n < kFirstBoundPort || n > kLastPortNumber) return 0;
    bound_[n] = device;
    if (store_ && write_ && keep) store_->Write(kRegPortKey, std::to_string(n), device);
    return n;
}

} // namespace vdl
