// Reference peers for IEC 60870-5-101 (FT 1.2 frames, unbalanced and balanced link
// procedures, a small application layer).
//
// They are written from the protocol rules alone and share no code with Vordal: a peer
// built from our own code could only agree with it. Everything here is pure logic. The
// caller hands in received octets with the time in milliseconds, calls tick() as time
// passes, and takes the octets to send and the log of what was received, sent and judged.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace peer101 {

using Bytes = std::vector<std::uint8_t>;
using Ms = std::int64_t;

constexpr std::uint8_t kE5 = 0xE5;

inline std::string hex(const Bytes& b) {
    std::string s;
    char t[4];
    for (std::uint8_t x : b) {
        std::snprintf(t, sizeof t, s.empty() ? "%02x" : " %02x", x);
        s += t;
    }
    return s;
}

inline void putLe(Bytes& b, unsigned v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> 8 * i));
}

inline unsigned getLe(const std::uint8_t* p, int n) {
    unsigned v = 0;
    for (int i = 0; i < n; ++i) v |= unsigned(p[i]) << 8 * i;
    return v;
}

// Field lengths of the ASDU, which both ends must agree on.
struct Layout {
    int cot = 1; // 2: the second octet is the originator address
    int ca = 1;
    int ioa = 2;
    int header() const { return 2 + cot + ca; }
};

// A command of the controlling station (types 45 to 50, and 58 to 63 with a time tag):
// where it goes, its value, whether it is selected before it is executed, and the time
// before which it is not sent.
struct Command {
    std::uint8_t type = 45;
    unsigned ioa = 0;
    double value = 0;
    bool select = false;
    std::int64_t atMs = 0;
};

// Commands 58 to 63 are 45 to 50 with a CP56Time2a after the element.
inline bool isCommand(int type) {
    return (type >= 45 && type <= 50) || (type >= 58 && type <= 63);
}
inline int untimed(int type) {
    return type >= 58 && type <= 63 ? type - 13 : type;
}

struct Config {
    int addressLength = 1; // link address octets: 0, 1 or 2
    Layout asdu;
    std::vector<unsigned> addresses{1};
    std::optional<unsigned> ca;      // common address; each station's link address when unset
    std::optional<unsigned> silent;  // a configured station that never answers
    bool e5 = false;                 // single character for ACK and "no data" where allowed
    bool busy = false;               // controlled station reports DFC and refuses user data
    bool scaled = false;             // measured values as M_ME_NB_1 instead of M_ME_NC_1
    bool controlling = true;         // balanced: station A (sends DIR=1) or station B
    int measureEvery = 5;            // a measured value every N class 2 polls / periods, 0: never
    int commandEvery = 0;            // a command every N class 2 polls / periods, 0: never
    std::vector<Command> commands{}; // sent once each in turn; none: single and double by turns
    std::set<unsigned> knownIoas{};  // where commands may go; none: every address
    int retries = 2;                 // repetitions after a time-out before the link is lost
    Ms timeoutMs = 500;
    Ms pollMs = 200;       // unbalanced: class 2 poll interval per station; balanced: period
    Ms testIdleMs = 5000;  // balanced: test function of link after this long without a request
    Ms lostRetryMs = 2000; // how long a lost station rests before it is reset again
    Ms maxGapMs = 0;       // longest idle time between two octets of a frame, 0: not checked
    Ms clockMs = 0;        // wall clock (ms since 1970) at time 0, for clock synchronisation
};

// ---------------------------------------------------------------------------------------
// ASDU coding

// Octets of one information element (without its address) for the types we can split;
// -1 for a type we do not know, whose length we then cannot check.
inline int elementLength(int type) {
    static const std::map<int, int> octets = {
        {1, 1},   {2, 4},   {3, 1},   {4, 4},   {5, 2},   {6, 5},   {7, 5},   {8, 8},   {9, 3},
        {10, 6},  {11, 3},  {12, 6},  {13, 5},  {14, 8},  {15, 5},  {16, 8},  {21, 2},  {30, 8},
        {31, 8},  {32, 9},  {33, 12}, {34, 10}, {35, 10}, {36, 12}, {37, 12}, {45, 1},  {46, 1},
        {47, 1},  {48, 3},  {49, 3},  {50, 5},  {51, 4},  {58, 8},  {59, 8},  {60, 8},  {61, 10},
        {62, 10}, {63, 12}, {64, 11}, {70, 1},  {100, 1}, {101, 1}, {102, 0}, {103, 7}, {104, 2},
        {105, 1}, {106, 2}, {110, 3}, {111, 3}, {112, 5}, {113, 1}};
    const auto it = octets.find(type);
    return it == octets.end() ? -1 : it->second;
}

struct Asdu {
    std::uint8_t type = 0;
    std::uint8_t cause = 0;
    unsigned ca = 0;
    std::vector<std::pair<unsigned, Bytes>> objects{}; // address and element
    bool negative = false;
    bool test = false;
    bool sq = false;
    int count = 0; // as coded; objects stays empty for a type we cannot split
    std::uint8_t originator = 0;
};

// Always codes one address per object (SQ=0).
inline Bytes encode(const Asdu& a, const Layout& l) {
    Bytes b{a.type, std::uint8_t(a.objects.size()),
            std::uint8_t(a.cause | (a.negative ? 0x40 : 0) | (a.test ? 0x80 : 0))};
    if (l.cot == 2) b.push_back(a.originator);
    putLe(b, a.ca, l.ca);
    for (const auto& [ioa, element] : a.objects) {
        putLe(b, ioa, l.ioa);
        b.insert(b.end(), element.begin(), element.end());
    }
    return b;
}

inline std::optional<Asdu> decode(const Bytes& b, const Layout& l, std::string& error) {
    if (int(b.size()) < l.header()) {
        error = "ASDU shorter than its header";
        return std::nullopt;
    }
    Asdu a;
    a.type = b[0];
    a.sq = b[1] & 0x80;
    a.count = b[1] & 0x7F;
    a.cause = b[2] & 0x3F;
    a.negative = b[2] & 0x40;
    a.test = b[2] & 0x80;
    if (l.cot == 2) a.originator = b[3];
    a.ca = getLe(&b[2 + l.cot], l.ca);
    const int size = elementLength(a.type);
    if (size < 0) return a;
    const int body = int(b.size()) - l.header();
    const int expected = a.sq ? l.ioa + a.count * size : a.count * (l.ioa + size);
    if (a.count == 0 || body != expected) {
        error = "ASDU of type " + std::to_string(a.type) + " with " + std::to_string(a.count) +
                " objects has " + std::to_string(body) + " octets of objects, expected " +
                std::to_string(expected);
        return std::nullopt;
    }
    const std::uint8_t* p = b.data() + l.header();
    unsigned ioa = 0;
    for (int i = 0; i < a.count; ++i) {
        if (!a.sq || i == 0) {
            ioa = getLe(p, l.ioa);
            p += l.ioa;
        } else {
            ++ioa; // a sequence numbers its objects from the first address on
        }
        a.objects.emplace_back(ioa, Bytes(p, p + size));
        p += size;
    }
    return a;
}

// CP56Time2a of a wall clock time in ms since 1970 (UTC, no summer time flag).
inline Bytes cp56(Ms epochMs) {
    const long long days = epochMs / 86400000;
    long long z = days + 719468; // proleptic Gregorian calendar from day numbers
    const long long era = z / 146097, doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    const int day = int(doy - (153 * mp + 2) / 5 + 1), month = int(mp < 10 ? mp + 3 : mp - 9);
    const long long year = yoe + era * 400 + (month <= 2);
    const unsigned ms = unsigned(epochMs % 60000);
    const int weekday = int((days + 3) % 7) + 1; // 1 is Monday; day 0 was a Thursday
    return {std::uint8_t(ms),
            std::uint8_t(ms >> 8),
            std::uint8_t(epochMs / 60000 % 60),
            std::uint8_t(epochMs / 3600000 % 24),
            std::uint8_t(day | weekday << 5),
            std::uint8_t(month),
            std::uint8_t(year % 100)};
}

// The element of a command: the state or value, then S/E (bit 7 of the SCO, DCO and RCO,
// or of the QOS after a set-point) with the qualifier left at 0, then for the types 58 to
// 63 the time tag of clockMs.
inline Bytes commandElement(const Command& k, bool select, Ms clockMs) {
    const std::uint8_t se = select ? 0x80 : 0;
    const int type = untimed(k.type);
    Bytes e;
    if (type <= 47) {
        e.push_back(std::uint8_t(unsigned(k.value) | se));
    } else {
        if (type == 50) {
            putLe(e, std::bit_cast<std::uint32_t>(float(k.value)), 4);
        } else {
            const long v = std::lround(type == 48 ? k.value * 32768 : k.value);
            putLe(e, unsigned(std::min(v, 32767L)) & 0xFFFF, 2); // +1 is just out of reach
        }
        e.push_back(se);
    }
    if (type != k.type) {
        const Bytes t = cp56(clockMs);
        e.insert(e.end(), t.begin(), t.end());
    }
    return e;
}

inline std::string jsonNumber(double v, int digits) {
    if (!std::isfinite(v)) return "null"; // JSON knows no infinity
    char t[32];
    std::snprintf(t, sizeof t, "%.*g", digits, v);
    return t;
}

// An element as JSON members: the value in its natural form, the quality flags without the
// value bits (monitor direction) or S/E and the qualifier (commands), and the time tag as
// text; empty for a type we do not read. CP24Time2a carries only minutes and
// milliseconds, so it reads "mm:ss.sss".
inline std::string elementJson(int type, const Bytes& e) {
    int base = type, tag = 0; // the type without time tag, and the octets of the tag
    if (type >= 2 && type <= 16 && type % 2 == 0) base = type - 1, tag = 3;
    if (type >= 30 && type <= 37) base = 2 * (type - 30) + 1, tag = 7;
    if (type >= 58 && type <= 63) base = untimed(type), tag = 7;
    const bool command = base >= 45 && base <= 50;
    if ((base > 15 && base != 21 && !command) || int(e.size()) != elementLength(type)) return "";
    const std::uint8_t* p = e.data();
    const std::uint8_t last = e[e.size() - std::size_t(tag) - 1]; // SIQ, DIQ, QDS or BCR flags
    const auto i16 = double(std::int16_t(getLe(p, 2)));
    std::string s;
    int quality = last & 0xF1; // IV NT SB BL, OV
    switch (base) {
    case 1:
        s = "\"value\":" + std::to_string(last & 1) +
            (last & 1 ? ",\"state\":\"on\"" : ",\"state\":\"off\"");
        quality &= 0xF0;
        break;
    case 3: {
        static const char* const states[] = {"intermediate", "off", "on", "indeterminate"};
        s = "\"value\":" + std::to_string(last & 3) + ",\"state\":\"" + states[last & 3] + "\"";
        quality &= 0xF0;
        break;
    }
    case 5: // seven bits in two's complement, then the transient flag
        s = "\"value\":" + std::to_string(int((p[0] & 0x7F) ^ 0x40) - 0x40) +
            ",\"transient\":" + (p[0] & 0x80 ? "true" : "false");
        break;
    case 7:
        s = "\"value\":" + std::to_string(getLe(p, 4));
        break;
    case 9: // NVA, SVA or a float; a set-point (48 to 50) has its QOS after it
    case 21:
    case 48:
        s = "\"value\":" + jsonNumber(i16 / 32768, 17) + ",\"raw\":" + jsonNumber(i16, 6);
        break;
    case 11:
    case 49:
        s = "\"value\":" + jsonNumber(i16, 6);
        break;
    case 13:
    case 50:
        s = "\"value\":" + jsonNumber(std::bit_cast<float>(std::uint32_t(getLe(p, 4))), 9);
        break;
    case 15: // BCR: the counter, then sequence number and CY, CA, IV
        s = "\"value\":" + std::to_string(std::int32_t(getLe(p, 4))) +
            ",\"sequence\":" + std::to_string(last & 0x1F);
        quality = last & 0xE0;
        break;
    case 45: // SCO, DCO, RCO: the state in bit 0 or bits 0 and 1, QU in bits 2 to 6
    case 46:
    case 47:
        s = "\"value\":" + std::to_string(last & (base == 45 ? 1 : 3)) +
            ",\"qualifier\":" + std::to_string((last >> 2) & 0x1F);
        break;
    }
    if (base >= 48 && base <= 50) s += ",\"qualifier\":" + std::to_string(last & 0x7F); // QL
    if (command)
        s += std::string(",\"select\":") + (last & 0x80 ? "true" : "false");
    else if (base != 21)
        s += ",\"quality\":" + std::to_string(quality);
    if (tag == 0) return s;
    const std::uint8_t* t = p + e.size() - tag;
    const unsigned ms = getLe(t, 2);
    char text[40];
    if (tag == 3)
        std::snprintf(text, sizeof text, "%02u:%02u.%03u", t[2] & 0x3Fu, ms / 1000, ms % 1000);
    else
        std::snprintf(text, sizeof text, "20%02u-%02u-%02uT%02u:%02u:%02u.%03u", t[6] & 0x7Fu,
                      t[5] & 0x0Fu, t[4] & 0x1Fu, t[3] & 0x1Fu, t[2] & 0x3Fu, ms / 1000, ms % 1000);
    s += ",\"time\":\"" + std::string(text) + "\"";
    if (t[2] & 0x80) s += ",\"time_invalid\":true";
    if (tag == 7 && (t[3] & 0x80)) s += ",\"summer_time\":true";
    return s;
}

// ---------------------------------------------------------------------------------------
// FT 1.2 frames

inline std::uint8_t checksum(const std::uint8_t* p, std::size_t n) {
    unsigned s = 0;
    for (std::size_t i = 0; i < n; ++i) s += p[i];
    return std::uint8_t(s);
}

inline Bytes fixedFrame(std::uint8_t control, unsigned address, int addressLength) {
    Bytes f{0x10, control};
    putLe(f, address, addressLength);
    f.push_back(checksum(f.data() + 1, f.size() - 1));
    f.push_back(0x16);
    return f;
}

inline Bytes variableFrame(std::uint8_t control, unsigned address, int addressLength,
                           const Bytes& asdu) {
    const auto length = std::uint8_t(1 + addressLength + asdu.size());
    Bytes f{0x68, length, length, 0x68, control};
    putLe(f, address, addressLength);
    for (std::uint8_t b : asdu) f.push_back(b);
    f.push_back(checksum(f.data() + 4, length));
    f.push_back(0x16);
    return f;
}

inline unsigned broadcastAddress(int addressLength) {
    return addressLength == 2 ? 0xFFFF : 0xFF;
}

struct Frame {
    enum Kind { Single, Fixed, Variable } kind = Single;
    std::uint8_t control = 0;
    unsigned address = 0;
    Bytes asdu{};
    Bytes raw{};
    std::string fault{}; // why the octets are no frame; empty for a good one

    int fc() const { return control & 0x0F; }
    bool prm() const { return control & 0x40; }
    bool bit7() const { return control & 0x80; } // DIR when balanced, reserved otherwise
    bool bit5() const { return control & 0x20; } // FCB from a primary, ACD from a secondary
    bool bit4() const { return control & 0x10; } // FCV from a primary, DFC from a secondary
};

// Cuts received octets into frames and checks each. After a faulty frame the rest of what
// arrived with it is dropped, as a receiver that waits for the line to go idle would.
class Deframer {
public:
    explicit Deframer(int addressLength, Ms maxGapMs = 0)
        : alen_(addressLength), maxGap_(maxGapMs) {}

    std::vector<Frame> feed(const Bytes& in, Ms now) {
        std::vector<Frame> out;
        for (std::size_t i = 0; i < in.size(); ++i) {
            const std::uint8_t b = in[i];
            if (!buf_.empty() && maxGap_ > 0 && now - last_ > maxGap_) {
                out.push_back(faulty("idle time inside a frame", buf_));
                buf_.clear();
            }
            last_ = now;
            if (buf_.empty()) {
                if (b != 0x10 && b != 0x68 && b != kE5) {
                    junk_.push_back(b);
                    continue;
                }
                flushJunk(out);
                if (b == kE5) {
                    out.push_back(Frame{.raw = {b}});
                    continue;
                }
            }
            buf_.push_back(b);
            std::string error;
            const bool done = check(error);
            if (!error.empty()) {
                Frame f = faulty(error, buf_);
                f.raw.insert(f.raw.end(), in.begin() + long(i) + 1, in.end());
                out.push_back(std::move(f));
                buf_.clear();
                return out;
            }
            if (done) {
                out.push_back(parse());
                buf_.clear();
            }
        }
        flushJunk(out);
        return out;
    }

private:
    static Frame faulty(const std::string& why, const Bytes& raw) {
        return Frame{.raw = raw, .fault = why};
    }

    void flushJunk(std::vector<Frame>& out) {
        if (!junk_.empty()) out.push_back(faulty("octets outside a frame", junk_));
        junk_.clear();
    }

    // Whether buf_ holds a whole frame; sets error as soon as the octets cannot be one.
    bool check(std::string& error) const {
        const std::size_t n = buf_.size();
        const bool fixed = buf_[0] == 0x10;
        if (!fixed && n == 4) {
            if (buf_[1] != buf_[2]) error = "length octets differ";
            if (error.empty() && buf_[3] != 0x68) error = "second start octet missing";
            if (error.empty() && buf_[1] < 1 + alen_) error = "length too short";
        }
        const std::size_t user = fixed ? std::size_t(1 + alen_) : n < 4 ? 255 : buf_[1];
        if (n < user + (fixed ? 3 : 6)) return false;
        if (buf_[n - 2] != checksum(&buf_[fixed ? 1 : 4], user)) error = "checksum wrong";
        if (error.empty() && buf_[n - 1] != 0x16) error = "end octet missing";
        return true;
    }

    Frame parse() const {
        Frame f{.raw = buf_};
        const std::size_t at = buf_[0] == 0x10 ? 1 : 4;
        f.kind = at == 1 ? Frame::Fixed : Frame::Variable;
        f.control = buf_[at];
        f.address = getLe(&buf_[at + 1], alen_);
        if (f.kind == Frame::Variable)
            f.asdu.assign(buf_.begin() + long(5 + alen_), buf_.end() - 2);
        return f;
    }

    int alen_;
    Ms maxGap_;
    Ms last_ = 0;
    Bytes buf_, junk_;
};

inline std::string functionName(bool prm, int fc) {
    static const std::map<int, const char*> primary = {
        {0, "reset of remote link"},         {1, "reset of user process"},
        {2, "test function for link"},       {3, "user data, confirm expected"},
        {4, "user data, no reply expected"}, {8, "request for access demand"},
        {9, "request status of link"},       {10, "request user data class 1"},
        {11, "request user data class 2"}};
    static const std::map<int, const char*> secondary = {{0, "ACK"},
                                                         {1, "NACK"},
                                                         {8, "user data"},
                                                         {9, "no data"},
                                                         {11, "status of link"},
                                                         {14, "link service not functioning"},
                                                         {15, "link service not implemented"}};
    const auto& names = prm ? primary : secondary;
    const auto it = names.find(fc);
    return it == names.end() ? "function code " + std::to_string(fc) : it->second;
}

inline std::string describe(const Frame& f, bool balanced) {
    if (!f.fault.empty()) return "faulty octets";
    if (f.kind == Frame::Single) return "single character E5";
    std::string s = functionName(f.prm(), f.fc()) + " a=" + std::to_string(f.address);
    if (balanced) s += f.bit7() ? " dir=1" : " dir=0";
    if (f.prm()) {
        s += f.bit5() ? " fcb=1" : " fcb=0";
        s += f.bit4() ? " fcv=1" : " fcv=0";
    } else {
        if (!balanced && f.bit5()) s += " acd";
        if (f.bit4()) s += " dfc";
    }
    if (f.asdu.size() >= 3) {
        s += " type=" + std::to_string(f.asdu[0]) + " cot=" + std::to_string(f.asdu[2] & 0x3F);
        if (f.asdu[2] & 0x40) s += " negative";
    }
    return s;
}

// ---------------------------------------------------------------------------------------
// What every peer shares: framing, the log, the counters, and the link rules of a primary
// (requesting) and a secondary (responding) direction.

struct Event {
    std::string dir; // "rx", "tx", "note" or "object" (what holds its JSON members)
    Ms ms = 0;
    Bytes bytes;
    std::string what;
    std::string verdict; // received frames: "ok" or why they are faulty
};

struct Counters {
    std::uint64_t received = 0, sent = 0, faults = 0, unanswered = 0;
    std::uint64_t commandsConfirmed = 0, interrogationsTerminated = 0, clockSyncsConfirmed = 0;
    std::uint64_t linksLost = 0;
    std::map<std::string, std::uint64_t> faultReasons;
    std::uint64_t commandsSent = 0, commandsRefused = 0, commandsTerminated = 0;
    std::uint64_t returnInformation = 0, objectsReceived = 0;
    std::map<int, std::uint64_t> commandRefusals;           // per cause of transmission
    std::map<int, std::uint64_t> typesReceived, typesSent;  // ASDUs per type, repetitions too
    std::uint64_t negativesReceived = 0, negativesSent = 0; // ASDUs with P/N=1
};

// Counts the ASDU of a frame (if it carries one) by type and P/N bit.
inline void countAsdu(const Bytes& asdu, std::map<int, std::uint64_t>& types,
                      std::uint64_t& negatives) {
    if (asdu.size() < 3) return;
    ++types[asdu[0]];
    if (asdu[2] & 0x40) ++negatives;
}

// Secondary side of one link: was it reset, which FCB comes next, what was answered last.
struct LinkState {
    bool reset = false;
    bool expectFcb = true;
    Bytes lastRequest{}, lastAnswer{};
};

// Primary side of one link: its state, its FCB, and the request on the way.
struct Requester {
    enum State { NeedStatus, NeedReset, Up } state = NeedStatus;
    bool fcb = false; // FCB of the last request with FCV=1
    bool acd = false, dfc = false, lost = false, waiting = false;
    int fc = 0, repeats = 0;
    Bytes frame;
    Ms deadline = 0, due = 0;
};

inline bool hasFcv(int fc) {
    return fc == 2 || fc == 3 || fc == 10 || fc == 11;
}

class Peer {
public:
    Counters stats;

    Peer(const Config& c, bool balanced)
        : cfg_(c), balanced_(balanced), alen_(c.addressLength), rx_(c.addressLength, c.maxGapMs) {}
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;
    virtual ~Peer() = default;

    void receive(const Bytes& in, Ms now) {
        now_ = now;
        for (Frame& f : rx_.feed(in, now)) {
            ++stats.received;
            events_.push_back({"rx", now, f.raw, describe(f, balanced_), "ok"});
            judged_ = events_.size() - 1;
            if (!f.fault.empty()) {
                fault(f.fault);
            } else {
                countAsdu(f.asdu, stats.typesReceived, stats.negativesReceived);
                onFrame(f, now);
            }
            judged_ = kNone;
        }
    }
    virtual void tick(Ms now) { now_ = now; }
    Ms now() const { return now_; }
    Bytes takeOutput() { return std::exchange(out_, {}); }
    std::vector<Event> takeEvents() { return std::exchange(events_, {}); }

    // Marks the frame in hand (or, outside of one, the exchange) as faulty.
    void fault(const std::string& reason) {
        ++stats.faults;
        ++stats.faultReasons[reason];
        if (judged_ == kNone) {
            events_.push_back({"note", now_, {}, "fault", reason});
            return;
        }
        std::string& v = events_[judged_].verdict;
        v = v == "ok" ? reason : v + "; " + reason;
    }
    void note(const std::string& what) { events_.push_back({"note", now_, {}, what, ""}); }
    void object(const std::string& members) {
        ++stats.objectsReceived;
        events_.push_back({"object", now_, {}, members, ""});
    }

protected:
    virtual void onFrame(const Frame& f, Ms now) = 0;

    void send(const Bytes& b, Ms now, const std::string& why = "") {
        out_.insert(out_.end(), b.begin(), b.end());
        ++stats.sent;
        const Frame f = Deframer(alen_).feed(b, now).front();
        countAsdu(f.asdu, stats.typesSent, stats.negativesSent);
        const std::string what = describe(f, balanced_);
        events_.push_back({"tx", now, b, why.empty() ? what : why + ": " + what, ""});
    }

    // Whether a request's function code exists on this kind of link (if not, the caller
    // answers "link service not implemented").
    bool knownFunction(const Frame& f) {
        const int fc = f.fc();
        if (balanced_ ? fc <= 4 || fc == 9 : fc <= 1 || fc == 3 || fc == 4 || (fc >= 8 && fc <= 11))
            return true;
        fault("function code " + std::to_string(fc) + " not defined for this link");
        return false;
    }

    // Checks FCV, FCB and frame kind of a request; false when it cannot be served at all.
    bool checkRequest(const Frame& f) {
        const int fc = f.fc();
        if (f.bit4() != hasFcv(fc))
            fault("FCV=" + std::to_string(f.bit4()) + " with function code " + std::to_string(fc));
        if ((fc == 0 || fc == 1) && f.bit5()) fault("FCB=1 in a reset");
        const bool user = fc == 3 || fc == 4;
        if (user != (f.kind == Frame::Variable)) {
            fault(user ? "user data in a fixed frame"
                       : "variable frame with function code " + std::to_string(fc));
            return !user;
        }
        return true;
    }

    enum class Fcb { New, Repeat, Refused };

    // The FCB rule: a toggled FCB is a new request; the same FCB again repeats the last one,
    // which is answered as before. A reset makes FCB=1 the next one expected.
    Fcb checkFcb(LinkState& s, const Frame& f) {
        if (!s.reset) return fault("request with FCV=1 before the link was reset"), Fcb::Refused;
        if (f.bit5() == s.expectFcb || s.lastAnswer.empty()) {
            if (f.bit5() != s.expectFcb) fault("FCB=0 in the first request after a reset");
            s.expectFcb = !f.bit5();
            s.lastRequest = f.raw;
            return Fcb::New;
        }
        if (f.raw != s.lastRequest) fault("FCB not toggled for a new request");
        return Fcb::Repeat;
    }

    void request(Requester& r, unsigned address, int fc, const Bytes* asdu, Ms now) {
        auto c = std::uint8_t(0x40 | fc | (balanced_ && cfg_.controlling ? 0x80 : 0));
        if (hasFcv(fc)) {
            r.fcb = !r.fcb;
            c |= 0x10 | (r.fcb ? 0x20 : 0);
        }
        r.frame = asdu ? variableFrame(c, address, alen_, *asdu) : fixedFrame(c, address, alen_);
        r.fc = fc;
        r.repeats = 0;
        r.waiting = true;
        r.deadline = now + cfg_.timeoutMs;
        send(r.frame, now);
    }

    // Repeats a request that timed out, with the same FCB; true when the repetitions are
    // used up and the link is lost.
    bool expire(Requester& r, Ms now, const std::string& who) {
        if (!r.waiting || now < r.deadline) return false;
        ++stats.unanswered;
        if (r.repeats < cfg_.retries) {
            ++r.repeats;
            r.deadline = now + cfg_.timeoutMs;
            send(r.frame, now, "repetition after time-out");
            return false;
        }
        r.waiting = false;
        r.state = Requester::NeedStatus;
        r.due = now + cfg_.lostRetryMs;
        if (!r.lost) {
            r.lost = true;
            ++stats.linksLost;
            note("link lost: " + who);
        }
        return true;
    }

    // Judges a frame as the answer to r's request: the function code of the answer, or -1
    // when the frame is none (then the request times out and is repeated).
    int takeAnswer(Requester& r, const Frame& f) {
        const auto no = [&](const std::string& why) { return fault(why), -1; };
        if (!r.waiting) return no("answer without a request");
        const bool poll = r.fc == 10 || r.fc == 11;
        int fc = 0;
        if (f.kind == Frame::Single) {
            if (r.fc == 9) return no("single character in answer to request status of link");
            fc = poll ? 9 : 0;
            r.acd = r.dfc = false; // the single character stands for answers without ACD or DFC
        } else {
            if (f.prm()) return no("PRM=1 in an answer");
            fc = f.fc();
            const bool expected = r.fc == 9 ? fc == 11 : poll ? fc == 8 || fc == 9 : fc <= 1;
            if (!expected && fc != 14 && fc != 15)
                return no("function code " + std::to_string(fc) + " in answer to function code " +
                          std::to_string(r.fc));
            if ((fc == 8) != (f.kind == Frame::Variable))
                return no(fc == 8 ? "user data in a fixed frame"
                                  : "variable frame with function code " + std::to_string(fc));
            if (!balanced_) r.acd = f.bit5();
            r.dfc = f.bit4();
        }
        r.waiting = false;
        r.lost = false;
        return fc;
    }

    Config cfg_;
    bool balanced_;
    int alen_;
    Ms now_ = 0;

private:
    static constexpr std::size_t kNone = std::size_t(-1);
    Deframer rx_;
    Bytes out_;
    std::vector<Event> events_;
    std::size_t judged_ = kNone;
};

// ---------------------------------------------------------------------------------------
// Application layer

// Either end of the application: the ASDU layout and the station's own common address.
class App {
public:
    App(const Config& c, unsigned ca) : l_(c.asdu), ca_(ca), c_(c) {}

protected:
    Bytes make(std::uint8_t type, std::uint8_t cause, unsigned ioa, Bytes element) const {
        return encode(Asdu{type, cause, ca_, {{ioa, std::move(element)}}}, l_);
    }

    // One log line per object received, with its value where we can read the type.
    static void logObjects(const Asdu& a, Peer& judge) {
        for (const auto& [ioa, element] : a.objects) {
            std::string members =
                "\"type\":" + std::to_string(a.type) + ",\"ca\":" + std::to_string(a.ca) +
                ",\"ioa\":" + std::to_string(ioa) + ",\"cause\":" + std::to_string(a.cause) +
                (a.negative ? ",\"negative\":true" : "") +
                ",\"frame\":" + std::to_string(judge.stats.received) +
                ",\"sq\":" + (a.sq ? "true" : "false");
            if (const std::string v = elementJson(a.type, element); !v.empty()) members += "," + v;
            judge.object(members);
        }
    }

    Layout l_;
    unsigned ca_;
    Config c_;
};

// A controlled station's data: answers to commands go to class 1, cyclic values to class 2.
class Outstation : public App {
public:
    std::deque<Bytes> class1, class2;

    using App::App;

    void startUp() { class1.push_back(make(70, 4, 0, {0})); } // end of initialisation
    void clear() { class1.clear(), class2.clear(); }

    // Counts class 2 polls (or periods) and queues a measured value every N of them.
    void period(std::uint8_t cause) {
        if (c_.measureEvery > 0 && ++periods_ % c_.measureEvery == 0)
            class2.push_back(measured(cause));
    }

    void onAsdu(const Bytes& b, Peer& judge) {
        std::string error;
        const auto a = decode(b, l_, error);
        if (!a) return judge.fault(error);
        logObjects(*a, judge);
        const unsigned all = l_.ca == 2 ? 0xFFFF : 0xFF;
        if (a->ca != ca_ && a->ca != all) return class1.push_back(reply(b, 46, true, false));
        const bool act = a->cause == 6, deact = a->cause == 8;
        switch (a->type) {
        case 100: // station interrogation
        case 101: // counter interrogation
            if (deact) return class1.push_back(reply(b, 9, false));
            if (!act) return class1.push_back(reply(b, 45, true));
            class1.push_back(reply(b, 7, false));
            if (a->type == 100) {
                sp_ = !sp_;
                class1.push_back(
                    encode(Asdu{1, 20, ca_, {{1, {std::uint8_t(sp_)}}, {2, {0}}}}, l_));
                class1.push_back(measured(20));
            } else {
                Bytes bcr;
                putLe(bcr, ++counter_, 4);
                bcr.push_back(std::uint8_t(counter_ & 0x1F));
                class1.push_back(make(15, 37, 1, bcr));
            }
            return class1.push_back(reply(b, 10, false));
        case 103: // clock synchronisation
            return class1.push_back(reply(b, act ? 7 : 45, !act));
        default:
            if (isCommand(a->type)) return command(*a, b);
            class1.push_back(reply(b, 44, true));
        }
    }

private:
    // Single, double and regulating step commands and set-points (normalised, scaled, short
    // float), with or without time tag: ActCon, and after an execute the state or value now
    // held as return information (no step position is kept), then ActTerm.
    void command(const Asdu& a, const Bytes& b) {
        if (a.cause != 6 && a.cause != 8) return class1.push_back(reply(b, 45, true));
        const auto& [ioa, element] = a.objects[0];
        if (!c_.knownIoas.empty() && !c_.knownIoas.contains(ioa))
            return class1.push_back(reply(b, 47, true));
        if (a.cause == 8) return class1.push_back(reply(b, 9, false));
        class1.push_back(reply(b, 7, false));
        const int type = untimed(a.type);
        const auto se = std::size_t(elementLength(type) - 1); // S/E: bit 7 of the last octet
        if (element[se] & 0x80) return;                       // selected only
        // SCO/DCO become SIQ/DIQ with cause 11 (return information caused by a remote
        // command); a set-point comes back as a measured value with a good QDS, and as the
        // measured types do not take cause 11, as a spontaneous one. A time tag stays as it
        // came.
        static const std::map<int, std::uint8_t> held = {
            {45, 1}, {46, 3}, {48, 9}, {49, 11}, {50, 13}};
        static const std::map<int, std::uint8_t> heldTimed = {
            {45, 30}, {46, 31}, {48, 34}, {49, 35}, {50, 36}};
        if (const auto it = held.find(type); it != held.end()) {
            Bytes e = element;
            e[se] = type < 47 ? e[se] & (type == 45 ? 1 : 3) : 0;
            class1.push_back(
                make(type == a.type ? it->second : heldTimed.at(type), type < 47 ? 11 : 3, ioa, e));
        }
        class1.push_back(reply(b, 10, false));
    }

    // The request sent back with another cause, under our own common address (a
    // broadcast is answered by each station as itself).
    Bytes reply(Bytes b, std::uint8_t cause, bool negative, bool ownCa = true) const {
        b[2] = std::uint8_t((b[2] & 0x80) | (negative ? 0x40 : 0) | cause);
        for (int i = 0; ownCa && i < l_.ca; ++i)
            b[std::size_t(2 + l_.cot + i)] = std::uint8_t(ca_ >> 8 * i);
        return b;
    }

    Bytes measured(std::uint8_t cause) {
        value_ += 1.5f;
        Bytes e;
        if (c_.scaled) {
            putLe(e, unsigned(int(value_) & 0xFFFF), 2);
        } else {
            putLe(e, std::bit_cast<std::uint32_t>(value_), 4);
        }
        e.push_back(0); // quality descriptor: good
        return make(c_.scaled ? 11 : 13, cause, 101, e);
    }

    bool sp_ = false;
    float value_ = 0;
    unsigned counter_ = 0;
    int periods_ = 0;
};

// A controlling station's side: interrogation and clock synchronisation after each link
// reset, commands followed through to their termination, and checks on what comes back.
class Controller : public App {
public:
    std::deque<Bytes> toSend;

    using App::App;

    void linkUp(Ms now) {
        linkDown();
        toSend.push_back(make(100, 6, 0, {20})); // station interrogation
        toSend.push_back(make(103, 6, 0, cp56(c_.clockMs + now)));
    }
    void linkDown() {
        toSend.clear();
        interrogating_ = false;
        pending_.clear(); // what was on its way stays unfinished
    }

    // The next command, once none waits for its confirmation: the configured ones once each
    // (each not before its time), or else a single and a double command by turns, both
    // selected first.
    void command(Peer& judge) {
        static const std::vector<Command> turns = {{45, 1001, 1, true}, {46, 1002, 2, true}};
        const auto& list = c_.commands.empty() ? turns : c_.commands;
        for (const Pending& p : pending_)
            if (p.step != Pending::Confirmed) return;
        if (!c_.commands.empty() && next_ >= list.size()) return;
        if (list[next_ % list.size()].atMs > judge.now()) return;
        const Command& k = list[next_++ % list.size()];
        std::erase_if(pending_, [&](const Pending& p) { return same(p, k.type, k.ioa); });
        pending_.push_back({k, k.select ? Pending::Selecting : Pending::Executing});
        ++judge.stats.commandsSent;
        issue(pending_.back(), judge);
    }

    void onAsdu(const Bytes& b, Peer& judge) {
        std::string error;
        const auto a = decode(b, l_, error);
        if (!a) return judge.fault(error);
        const std::string station = " (common address " + std::to_string(a->ca) + ")";
        logObjects(*a, judge);
        if (a->type < 45) returnInformation(*a, station, judge);
        if (isCommand(a->type) && !a->objects.empty()) return commandAnswer(*a, station, judge);
        if (a->negative)
            return judge.fault("negative confirmation of type " + std::to_string(a->type) +
                               " with cause " + std::to_string(a->cause));
        if (a->type == 100 && a->cause == 7) {
            interrogating_ = true;
        } else if (a->type == 100 && a->cause == 10) {
            if (!interrogating_)
                return judge.fault("interrogation terminated without confirmation");
            interrogating_ = false;
            ++judge.stats.interrogationsTerminated;
            judge.note("interrogation terminated" + station);
        } else if (a->type == 103 && a->cause == 7) {
            ++judge.stats.clockSyncsConfirmed;
            judge.note("clock synchronisation confirmed" + station);
        } else if (a->cause == 20 && !interrogating_) {
            judge.fault("interrogated object outside an interrogation");
        }
    }

private:
    struct Pending {
        Command k;
        enum { Selecting, Executing, Confirmed } step;
        Bytes element{};
    };

    static bool same(const Pending& p, int type, unsigned ioa) {
        return p.k.type == type && p.k.ioa == ioa;
    }
    static std::string text(const Command& k) {
        return "type " + std::to_string(k.type) + " at " + std::to_string(k.ioa) + " = " +
               jsonNumber(k.value, 9);
    }

    void issue(Pending& p, Peer& judge) {
        p.element = commandElement(p.k, p.step == Pending::Selecting, c_.clockMs + judge.now());
        toSend.push_back(make(p.k.type, 6, p.k.ioa, p.element));
        judge.note(
            std::string(p.step == Pending::Selecting ? "command select: " : "command execute: ") +
            text(p.k) + " (common address " + std::to_string(ca_) + ")");
    }

    // Objects with cause 11, or spontaneous ones while a command is on its way, count as
    // the command's return information.
    void returnInformation(const Asdu& a, const std::string& station, Peer& judge) {
        if (next_ == 0 || !(a.cause == 11 || (a.cause == 3 && !pending_.empty()))) return;
        for (const auto& object : a.objects) {
            ++judge.stats.returnInformation;
            judge.note("return information: type " + std::to_string(a.type) + " at " +
                       std::to_string(object.first) + " with cause " + std::to_string(a.cause) +
                       station);
        }
    }

    // ActCon, positive or negative, and ActTerm of the command sent to that address.
    void commandAnswer(const Asdu& a, const std::string& station, Peer& judge) {
        const auto& [ioa, element] = a.objects[0];
        const std::string cause = std::to_string(a.cause);
        const auto it = std::find_if(pending_.begin(), pending_.end(),
                                     [&](const Pending& p) { return same(p, a.type, ioa); });
        if (it == pending_.end())
            return judge.fault("command " + std::string(a.cause == 7 ? "confirmation" : "answer") +
                               " without a command");
        Pending& p = *it;
        const std::string what = text(p.k) + station;
        if (element != p.element) judge.fault("command answered with another element: " + what);
        if (p.step != Pending::Confirmed &&
            ((a.negative && a.cause == 7) || (a.cause >= 44 && a.cause <= 47))) {
            ++judge.stats.commandsRefused;
            ++judge.stats.commandRefusals[a.cause];
            judge.note("command refused with cause " + cause + ": " + what);
            // Our own commands go where every station has something to command.
            if (c_.commands.empty())
                judge.fault("negative confirmation of type " + std::to_string(a.type) +
                            " with cause " + cause);
            pending_.erase(it);
        } else if (a.negative) {
            judge.fault("negative answer with cause " + cause + " to a command");
        } else if (a.cause == 7 && p.step == Pending::Selecting) {
            judge.note("command selected: " + what);
            p.step = Pending::Executing;
            issue(p, judge);
        } else if (a.cause == 7 && p.step == Pending::Executing) {
            p.step = Pending::Confirmed;
            ++judge.stats.commandsConfirmed;
            judge.note("command confirmed: " + what);
        } else if (a.cause == 10 && p.step == Pending::Confirmed) {
            ++judge.stats.commandsTerminated;
            judge.note("command terminated: " + what);
            pending_.erase(it);
        } else {
            judge.fault(a.cause == 10 ? "command terminated without confirmation"
                                      : "command answer with cause " + cause);
        }
    }

    std::vector<Pending> pending_; // sent and neither terminated nor refused
    std::size_t next_ = 0;         // commands taken from the list
    bool interrogating_ = false;
};

// ---------------------------------------------------------------------------------------
// Stations

// Controlled station of unbalanced transmission, one link state per link address.
class Secondary : public Peer {
public:
    explicit Secondary(const Config& c) : Peer(c, false) {
        for (unsigned a : cfg_.addresses) stations_.try_emplace(a, cfg_, cfg_.ca.value_or(a));
    }

protected:
    void onFrame(const Frame& f, Ms now) override {
        if (f.kind == Frame::Single) return fault("single character from the controlling station");
        if (!f.prm()) return fault("PRM=0 from the controlling station");
        if (f.bit7()) fault("reserved bit 7 set");
        if (alen_ > 0 && f.address == broadcastAddress(alen_)) {
            if (f.fc() != 4) return fault("broadcast with function code " + std::to_string(f.fc()));
            for (auto& [a, s] : stations_)
                if (s.link.reset) s.app.onAsdu(f.asdu, *this);
            return;
        }
        const auto it = alen_ == 0 ? stations_.begin() : stations_.find(f.address);
        if (it == stations_.end() || (cfg_.silent && *cfg_.silent == it->first)) return;
        Station& s = it->second;
        const unsigned address = it->first;
        auto answer = [&](int fc, const Bytes* asdu = nullptr) {
            const bool acd = !s.app.class1.empty(), dfc = cfg_.busy;
            Bytes b;
            if (cfg_.e5 && !acd && !dfc && (fc == 0 || fc == 9))
                b = {kE5};
            else {
                const auto c = std::uint8_t(fc | (acd ? 0x20 : 0) | (dfc ? 0x10 : 0));
                b = asdu ? variableFrame(c, address, alen_, *asdu) : fixedFrame(c, address, alen_);
            }
            if (hasFcv(f.fc())) s.link.lastAnswer = b;
            send(b, now);
        };
        if (!knownFunction(f)) return answer(15);
        if (!checkRequest(f)) return;
        if (f.fc() == 0) {
            s.link = LinkState{.reset = true};
            if (!std::exchange(s.started, true)) s.app.startUp();
            return answer(0);
        }
        if (f.fc() == 1) return s.app.clear(), answer(0);
        if (f.fc() == 8 || f.fc() == 9) return answer(11);
        if (f.fc() == 4) {
            if (s.link.reset) s.app.onAsdu(f.asdu, *this);
            return;
        }
        const Fcb fcb = checkFcb(s.link, f);
        if (fcb == Fcb::Refused) return;
        if (fcb == Fcb::Repeat) return send(s.link.lastAnswer, now, "last answer again");
        if (f.fc() == 3) {
            if (cfg_.busy) return answer(1);
            s.app.onAsdu(f.asdu, *this);
            return answer(0);
        }
        if (f.fc() == 11) s.app.period(1);
        std::deque<Bytes>& q = f.fc() == 10 ? s.app.class1 : s.app.class2;
        if (q.empty()) return answer(9); // ACD tells whether class 1 data waits
        const Bytes asdu = q.front();
        q.pop_front();
        answer(8, &asdu);
    }

private:
    struct Station {
        Station(const Config& c, unsigned ca) : app(c, ca) {}
        LinkState link;
        Outstation app;
        bool started = false;
    };
    std::map<unsigned, Station> stations_;
};

// Controlling station of unbalanced transmission: serves its stations in turn, one request
// on the line at a time.
class Primary : public Peer {
public:
    explicit Primary(const Config& c) : Peer(c, false) {
        for (unsigned a : cfg_.addresses) stations_.emplace_back(a, cfg_);
    }

    void tick(Ms now) override {
        now_ = now;
        if (current_) {
            Station& s = *current_;
            if (expire(s.link, now, "station " + std::to_string(s.address))) s.app.linkDown();
            if (s.link.waiting) return;
            current_ = nullptr;
        }
        for (std::size_t i = 0; i < stations_.size(); ++i) {
            Station& s = stations_[(next_ + i) % stations_.size()];
            if (s.link.due > now) continue;
            next_ = (next_ + i + 1) % stations_.size();
            return issue(s, now);
        }
    }

protected:
    void onFrame(const Frame& f, Ms now) override {
        if (!current_) return fault("answer without a request");
        Station& s = *current_;
        if (f.kind != Frame::Single) {
            if (f.bit7()) fault("reserved bit 7 set");
            if (alen_ > 0 && f.address != s.address)
                return fault("answer from address " + std::to_string(f.address) +
                             " to a request to " + std::to_string(s.address));
        }
        Requester& r = s.link;
        const int fc = takeAnswer(r, f);
        if (fc < 0) return;
        current_ = nullptr;
        if (r.fc == 9 && fc == 11) r.state = Requester::NeedReset;
        if (r.fc == 0 && fc == 0) {
            r.state = Requester::Up;
            r.fcb = false; // the first request with FCV=1 after a reset carries FCB=1
            s.app.linkUp(now);
        }
        if (r.fc == 3 && fc == 0) s.app.toSend.pop_front();
        if (fc == 8) s.app.onAsdu(f.asdu, *this);
        // Refused or not served: try again at the next poll.
        const bool later = r.fc == 9 ? fc != 11 : r.fc == 0 || r.fc == 3 ? fc != 0 : false;
        const bool work = r.state != Requester::Up || r.acd || (!s.app.toSend.empty() && !r.dfc);
        r.due = work && !later ? now : now + cfg_.pollMs;
    }

private:
    struct Station {
        Station(unsigned a, const Config& c) : address(a), app(c, c.ca.value_or(a)) {}
        unsigned address;
        Controller app;
        Requester link;
        int polls = 0;
    };

    void issue(Station& s, Ms now) {
        current_ = &s;
        Requester& r = s.link;
        if (r.state != Requester::Up)
            return request(r, s.address, r.state == Requester::NeedStatus ? 9 : 0, nullptr, now);
        if (!s.app.toSend.empty() && !r.dfc)
            return request(r, s.address, 3, &s.app.toSend.front(), now);
        if (r.acd) return request(r, s.address, 10, nullptr, now);
        if (cfg_.commandEvery > 0 && ++s.polls % cfg_.commandEvery == 0) s.app.command(*this);
        request(r, s.address, 11, nullptr, now);
    }

    std::vector<Station> stations_;
    Station* current_ = nullptr;
    std::size_t next_ = 0;
};

// Either station of balanced transmission: a primary direction that resets the link, sends
// user data and tests the link when idle, and a secondary direction that serves the other
// station. Station A controls (interrogation, clock, commands), station B answers and
// sends measured values of its own.
class Balanced : public Peer {
public:
    explicit Balanced(const Config& c)
        : Peer(c, true), address_(cfg_.addresses.front()), ctl_(cfg_, cfg_.ca.value_or(address_)),
          out_(cfg_, cfg_.ca.value_or(address_)) {}

    void tick(Ms now) override {
        now_ = now;
        if (expire(req_, now, "other station")) ctl_.linkDown(), queue_.clear();
        const bool up = req_.state == Requester::Up;
        if (now >= nextPeriod_) {
            nextPeriod_ = now + cfg_.pollMs;
            ++periods_;
            if (cfg_.controlling && up && cfg_.commandEvery > 0 &&
                periods_ % cfg_.commandEvery == 0)
                ctl_.command(*this);
            if (!cfg_.controlling && up) out_.period(3);
        }
        drain();
        if (req_.waiting || now < req_.due) return;
        std::deque<Bytes>& q = cfg_.controlling ? ctl_.toSend : queue_;
        if (!up)
            request(req_, address_, req_.state == Requester::NeedStatus ? 9 : 0, nullptr, now);
        else if (!q.empty() && !req_.dfc)
            request(req_, address_, 3, &q.front(), now);
        else if (now - lastRequest_ >= cfg_.testIdleMs)
            request(req_, address_, 2, nullptr, now);
        else
            return;
        lastRequest_ = now;
    }

protected:
    void onFrame(const Frame& f, Ms now) override {
        if (f.kind != Frame::Single) {
            if (f.bit7() == cfg_.controlling)
                fault(std::string("DIR=") + (f.bit7() ? "1" : "0") + " from station " +
                      (cfg_.controlling ? "B" : "A"));
            if (alen_ > 0 && f.address != address_)
                return fault("link address " + std::to_string(f.address) + ", expected " +
                             std::to_string(address_));
            if (f.prm()) return serve(f, now);
            if (f.bit5()) fault("reserved bit 5 set in an answer");
        }
        const int fc = takeAnswer(req_, f);
        if (fc < 0) return;
        std::deque<Bytes>& q = cfg_.controlling ? ctl_.toSend : queue_;
        if (req_.fc == 9 && fc == 11) req_.state = Requester::NeedReset;
        if (req_.fc == 0 && fc == 0) {
            req_.state = Requester::Up;
            req_.fcb = false; // the first request with FCV=1 after a reset carries FCB=1
            if (cfg_.controlling) ctl_.linkUp(now);
            if (!cfg_.controlling && !started_) out_.startUp(), started_ = true;
        }
        if (req_.fc == 3 && fc == 0) q.pop_front();
        req_.due = fc == 0 || fc == 11 ? now : now + cfg_.pollMs;
    }

private:
    // The other station's requests.
    void serve(const Frame& f, Ms now) {
        auto answer = [&](int fc) {
            const auto c =
                std::uint8_t(fc | (cfg_.controlling ? 0x80 : 0) | (cfg_.busy ? 0x10 : 0));
            const Bytes b = fixedFrame(c, address_, alen_);
            if (hasFcv(f.fc())) link_.lastAnswer = b;
            send(b, now);
        };
        if (!knownFunction(f)) return answer(15);
        if (!checkRequest(f)) return;
        if (f.fc() == 0) link_ = LinkState{.reset = true};
        if (f.fc() <= 1 || f.fc() == 9) return answer(f.fc() == 9 ? 11 : 0);
        if (f.fc() == 4) {
            if (link_.reset) deliver(f.asdu);
            return;
        }
        const Fcb fcb = checkFcb(link_, f);
        if (fcb == Fcb::Refused) return;
        if (fcb == Fcb::Repeat) return send(link_.lastAnswer, now, "last answer again");
        if (f.fc() == 3 && cfg_.busy) return answer(1);
        if (f.fc() == 3) deliver(f.asdu);
        answer(0);
    }

    void deliver(const Bytes& asdu) {
        if (cfg_.controlling)
            ctl_.onAsdu(asdu, *this);
        else
            out_.onAsdu(asdu, *this);
        drain();
    }

    // Station B sends class 1 before class 2 from one queue, so that the user data on its
    // way stays at the front until confirmed.
    void drain() {
        for (auto* q : {&out_.class1, &out_.class2}) {
            queue_.insert(queue_.end(), q->begin(), q->end());
            q->clear();
        }
    }

    unsigned address_;
    Controller ctl_;
    Outstation out_;
    Requester req_;
    LinkState link_;
    std::deque<Bytes> queue_;
    Ms nextPeriod_ = 0, lastRequest_ = 0;
    int periods_ = 0;
    bool started_ = false;
};

} // namespace peer101
