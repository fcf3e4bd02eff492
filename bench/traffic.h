// The traffic the benchmarks share: a polled line where the controlling station alternates
// class 1 and class 2 requests with FCB toggling and the station answers with "no data", a
// single character, or normalised measured values of 1..20 objects.
#pragma once

#include <cstdint>
#include <vector>

namespace vdl::bench {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& out, uint8_t lc, const Bytes& asdu) {
    if (asdu.empty()) {
        uint8_t f[] = {0x10, lc, 0x01, static_cast<uint8_t>(lc + 1), 0x16};
        out.insert(out.end(), f, f + 5);
        return;
    }
    Bytes user{lc, 0x01};
    user.insert(user.end(), asdu.begin(), asdu.end());
    out.push_back(0x68);
    out.push_back(static_cast<uint8_t>(user.size()));
    out.push_back(static_cast<uint8_t>(user.size()));
    out.push_back(0x68);
    uint8_t sum = 0;
    for (uint8_t x : user) {
        out.push_back(x);
        sum = static_cast<uint8_t>(sum + x);
    }
    out.push_back(sum);
    out.push_back(0x16);
}

// Measured values (normalised, SQ = 0) with n objects: type, qualifier, cause, common address,
// then per object a 3-octet address and 3 octets of value and quality.
inline Bytes Measured(int n) {
    Bytes a{9, static_cast<uint8_t>(n), 3, 0x01, 0x00};
    for (int i = 0; i < n; ++i) {
        Bytes o{static_cast<uint8_t>(i), 0x10, 0x00, static_cast<uint8_t>(i * 7), 0x12, 0x00};
        a.insert(a.end(), o.begin(), o.end());
    }
    return a;
}

// A polled line: the controlling station alternates class 1 and class 2 requests with FCB
// toggling, the station answers with a single character, "no data", or data of 1..20 objects.
inline Bytes Traffic(int frames, int& count) {
    Bytes s;
    Append(s, 0x40, {}); // reset of remote link
    s.push_back(0xE5);
    count = 2;
    bool fcb = true;
    for (int i = 0; count < frames; ++i) {
        uint8_t poll = static_cast<uint8_t>((i % 2 ? 0x5A : 0x5B) | (fcb ? 0x20 : 0));
        fcb = !fcb;
        Append(s, poll, {});
        switch (i % 4) {
        case 0:
            Append(s, 0x09, {});
            break; // no data
        case 1:
            s.push_back(0xE5);
            break; // single character
        default:
            Append(s, 0x08, Measured(1 + (i / 2) % 20));
            break;
        }
        count += 2;
    }
    return s;
}

inline Bytes Traffic(int frames) {
    int count = 0;
    return Traffic(frames, count);
}

} // namespace vdl::bench
