// The peers against each other and against hand-made frames, in memory with stepped time.
#include "iec101_peer.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>

using namespace peer101;

namespace {

// A request of a primary station; FCV follows from the function code.
Bytes req(int fc, bool fcb = false, unsigned address = 1, std::uint8_t dir = 0) {
    return fixedFrame(std::uint8_t(dir | 0x40 | fc | (hasFcv(fc) ? 0x10 : 0) | (fcb ? 0x20 : 0)),
                      address, 1);
}
Bytes userData(const Bytes& asdu, bool fcb, unsigned address = 1, int fc = 3) {
    return variableFrame(std::uint8_t(0x40 | fc | (fc == 3 ? 0x10 : 0) | (fcb ? 0x20 : 0)), address,
                         1, asdu);
}
Bytes answer(int fc, bool acd = false, bool dfc = false) {
    return fixedFrame(std::uint8_t(fc | (acd ? 0x20 : 0) | (dfc ? 0x10 : 0)), 1, 1);
}
Bytes asdu(std::uint8_t type, std::uint8_t cause, Bytes element, unsigned ca = 1,
           unsigned ioa = 0) {
    return encode({.type = type, .cause = cause, .ca = ca, .objects = {{ioa, element}}}, Layout{});
}
Bytes dataAnswer(const Bytes& asdu, bool acd) {
    return variableFrame(std::uint8_t(8 | (acd ? 0x20 : 0)), 1, 1, asdu);
}

// Two peers joined by a wire that can be cut in either direction.
struct Wire {
    Peer& a;
    Peer& b;
    Ms now = 0;
    bool aHears = true, bHears = true;
    std::vector<Event> aLog{}, bLog{};

    void run(Ms until, Ms step = 5) {
        for (; now < until; now += step) {
            a.tick(now);
            b.tick(now);
            const Bytes fromA = a.takeOutput();
            if (bHears && !fromA.empty()) b.receive(fromA, now);
            const Bytes fromB = b.takeOutput(); // answers to A within the same step
            if (aHears && !fromB.empty()) a.receive(fromB, now);
            for (auto& e : a.takeEvents()) aLog.push_back(e);
            for (auto& e : b.takeEvents()) bLog.push_back(e);
        }
    }
};

std::vector<Frame> sentFrames(const std::vector<Event>& log) {
    std::vector<Frame> frames;
    for (const Event& e : log)
        if (e.dir == "tx") frames.push_back(Deframer(1).feed(e.bytes, 0).front());
    return frames;
}

// Checks that the requests with FCV=1 to a station carry FCB=1 first after each reset and
// toggle from then on, repetitions aside; returns how many were checked.
int checkFcbSequence(const std::vector<Event>& log, unsigned address) {
    bool expected = true;
    int checked = 0;
    for (const Event& e : log) {
        if (e.dir != "tx" || e.what.rfind("repetition", 0) == 0) continue;
        const Frame f = Deframer(1).feed(e.bytes, 0).front();
        if (f.address != address) continue;
        if (f.fc() == 0) expected = true;
        if (!f.bit4()) continue;
        EXPECT_EQ(f.bit5(), expected) << "request " << checked << ": " << e.what;
        expected = !expected;
        ++checked;
    }
    return checked;
}

bool noted(const std::vector<Event>& log, const std::string& what) {
    for (const Event& e : log)
        if (e.dir == "note" && e.what.find(what) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(Frames, EncodingFollowsTheAddressLength) {
    struct Row {
        int alen;
        Bytes asdu;
        Bytes expected;
    } rows[] = {
        {0, {}, {0x10, 0x49, 0x49, 0x16}},
        {1, {}, {0x10, 0x49, 0x05, 0x4E, 0x16}},
        {2, {}, {0x10, 0x49, 0x05, 0x01, 0x4F, 0x16}},
        {1, {0x64, 0x01}, {0x68, 0x04, 0x04, 0x68, 0x49, 0x05, 0x64, 0x01, 0xB3, 0x16}},
        {2, {0x64}, {0x68, 0x04, 0x04, 0x68, 0x49, 0x05, 0x01, 0x64, 0xB3, 0x16}},
    };
    for (const Row& r : rows) {
        const Bytes f = r.asdu.empty() ? fixedFrame(0x49, 0x105, r.alen)
                                       : variableFrame(0x49, 0x105, r.alen, r.asdu);
        EXPECT_EQ(hex(f), hex(r.expected)) << "address length " << r.alen;
        // Octet by octet, as a slow line delivers it, the same frame comes back.
        Deframer d(r.alen);
        std::vector<Frame> got;
        for (std::uint8_t b : f)
            for (Frame& x : d.feed({b}, 0)) got.push_back(x);
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].fault, "");
        EXPECT_EQ(got[0].control, 0x49);
        EXPECT_EQ(got[0].address, r.alen == 2 ? 0x105u : r.alen == 1 ? 0x05u : 0u);
        EXPECT_EQ(got[0].asdu, r.asdu);
    }
}

TEST(Frames, FaultyOctetsAreRejectedWithAReason) {
    struct Row {
        const char* name;
        Bytes octets;
        std::string reason;
    } rows[] = {
        {"checksum", {0x10, 0x49, 0x01, 0x4B, 0x16}, "checksum wrong"},
        {"end", {0x10, 0x49, 0x01, 0x4A, 0x17}, "end octet missing"},
        {"lengths", {0x68, 0x03, 0x04, 0x68, 0x53, 0x01, 0x64, 0xB8, 0x16}, "length octets differ"},
        {"second start",
         {0x68, 0x03, 0x03, 0x10, 0x53, 0x01, 0x64, 0xB8, 0x16},
         "second start octet missing"},
        {"short", {0x68, 0x01, 0x01, 0x68, 0x53, 0x53, 0x16}, "length too short"},
        {"variable checksum",
         {0x68, 0x03, 0x03, 0x68, 0x53, 0x01, 0x64, 0xB9, 0x16},
         "checksum wrong"},
        {"junk", {0x33, 0x44}, "octets outside a frame"},
    };
    for (const Row& r : rows) {
        Deframer d(1);
        const auto got = d.feed(r.octets, 0);
        ASSERT_EQ(got.size(), 1u) << r.name;
        EXPECT_EQ(got[0].fault, r.reason) << r.name;
        // After the fault the next frame is taken again.
        const auto next = d.feed(req(9), 1);
        ASSERT_EQ(next.size(), 1u) << r.name;
        EXPECT_EQ(next[0].fault, "") << r.name;
    }
}

TEST(Frames, PauseInsideAFrameIsAFaultWhenChecked) {
    const Bytes f = req(9);
    Deframer d(1, 10);
    EXPECT_TRUE(d.feed(Bytes(f.begin(), f.begin() + 2), 0).empty());
    const auto late = d.feed(Bytes(f.begin() + 2, f.end()), 11);
    ASSERT_FALSE(late.empty());
    EXPECT_EQ(late[0].fault, "idle time inside a frame");
    Deframer patient(1, 10);
    patient.feed(Bytes(f.begin(), f.begin() + 2), 0);
    const auto inTime = patient.feed(Bytes(f.begin() + 2, f.end()), 10);
    ASSERT_EQ(inTime.size(), 1u);
    EXPECT_EQ(inTime[0].fault, "");
}

TEST(Asdu, FieldLengthsAreConfigurable) {
    struct Row {
        Layout layout;
        Bytes expected;
    } rows[] = {
        {{1, 1, 1}, {0x01, 0x01, 0x14, 0x02, 0x01, 0x01}},
        {{2, 2, 2}, {0x01, 0x01, 0x14, 0x07, 0x02, 0x01, 0x01, 0x02, 0x01}},
        {{2, 1, 3}, {0x01, 0x01, 0x14, 0x07, 0x02, 0x01, 0x02, 0x03, 0x01}},
    };
    for (const Row& r : rows) {
        const Asdu a{
            .type = 1, .cause = 20, .ca = 0x0102, .objects = {{0x030201, {0x01}}}, .originator = 7};
        // The address fields keep only as many octets as configured.
        EXPECT_EQ(hex(encode(a, r.layout)), hex(r.expected));
        std::string error;
        const auto back = decode(r.expected, r.layout, error);
        ASSERT_TRUE(back) << error;
        EXPECT_EQ(back->cause, 20);
        EXPECT_EQ(back->ca, r.layout.ca == 2 ? 0x0102u : 0x02u);
        ASSERT_EQ(back->objects.size(), 1u);
        EXPECT_EQ(back->objects[0].first, 0x030201u & (0xFFFFFFu >> 8 * (3 - r.layout.ioa)));
    }
}

TEST(Asdu, SequencesAndWrongLengths) {
    std::string error;
    // SQ=1: one address, then consecutive objects.
    const auto seq =
        decode({0x01, 0x83, 0x14, 0x01, 0x0A, 0x00, 0x01, 0x00, 0x01}, Layout{}, error);
    ASSERT_TRUE(seq) << error;
    ASSERT_EQ(seq->objects.size(), 3u);
    EXPECT_EQ(seq->objects[2].first, 12u);
    EXPECT_FALSE(decode({0x01, 0x02, 0x14, 0x01, 0x0A, 0x00, 0x01}, Layout{}, error));
    EXPECT_NE(error.find("type 1 with 2 objects"), std::string::npos) << error;
    EXPECT_FALSE(decode({0x64, 0x01, 0x06}, Layout{}, error));
    EXPECT_EQ(error, "ASDU shorter than its header");
}

TEST(Asdu, ElementsReadAsJson) {
    const auto with = [](Bytes a, const Bytes& b) {
        return a.insert(a.end(), b.begin(), b.end()), a;
    };
    const Bytes cp56 = {0x39, 0x30, 0x05, 0x0E, 0x23, 0x02, 0x18}; // 2024-02-03 14:05:12.345
    const std::string at = ",\"time\":\"2024-02-03T14:05:12.345\"";
    struct Row {
        int type;
        Bytes element;
        std::string expected;
    } rows[] = {
        {1, {0x01}, "\"value\":1,\"state\":\"on\",\"quality\":0"},
        {1, {0x90}, "\"value\":0,\"state\":\"off\",\"quality\":144"},
        {3, {0x43}, "\"value\":3,\"state\":\"indeterminate\",\"quality\":64"},
        {5, {0xFF, 0x01}, "\"value\":-1,\"transient\":true,\"quality\":1"},
        {7, {0x78, 0x56, 0x34, 0x12, 0x00}, "\"value\":305419896,\"quality\":0"},
        {9, {0x00, 0x40, 0x00}, "\"value\":0.5,\"raw\":16384,\"quality\":0"},
        {9, {0x00, 0x80, 0x80}, "\"value\":-1,\"raw\":-32768,\"quality\":128"},
        {11, {0x88, 0xFF, 0x00}, "\"value\":-120,\"quality\":0"},
        {13, {0x00, 0x00, 0x48, 0x41, 0x00}, "\"value\":12.5,\"quality\":0"},
        {15, {0xFF, 0xFF, 0xFF, 0xFF, 0x25}, "\"value\":-1,\"sequence\":5,\"quality\":32"},
        {21, {0x00, 0xC0}, "\"value\":-0.5,\"raw\":-16384"},
        {2,
         {0x01, 0x39, 0x30, 0x85},
         "\"value\":1,\"state\":\"on\",\"quality\":0,"
         "\"time\":\"05:12.345\",\"time_invalid\":true"},
        {30, with({0x01}, cp56), "\"value\":1,\"state\":\"on\",\"quality\":0" + at},
        {31, with({0x01}, {0x39, 0x30, 0x85, 0x8E, 0x23, 0x02, 0x18}),
         "\"value\":1,\"state\":\"off\",\"quality\":0" + at +
             ",\"time_invalid\":true,"
             "\"summer_time\":true"},
        {32, with({0x05, 0x00}, cp56), "\"value\":5,\"transient\":false,\"quality\":0" + at},
        {33, with({0x01, 0, 0, 0, 0x80}, cp56), "\"value\":1,\"quality\":128" + at},
        {34, with({0xFF, 0x7F, 0x00}, cp56),
         "\"value\":0.999969482421875,\"raw\":32767,"
         "\"quality\":0" +
             at},
        {35, with({0x00, 0x80, 0x10}, cp56), "\"value\":-32768,\"quality\":16" + at},
        {36, with({0x00, 0x00, 0xC0, 0xBF, 0x00}, cp56), "\"value\":-1.5,\"quality\":0" + at},
        {37, with({0x2A, 0, 0, 0, 0xDF}, cp56),
         "\"value\":42,\"sequence\":31,\"quality\":192" + at},
        // Commands: the state or value, QU or QL, and S/E.
        {45, {0x85}, "\"value\":1,\"qualifier\":1,\"select\":true"},
        {46, {0x0E}, "\"value\":2,\"qualifier\":3,\"select\":false"},
        {47, {0x01}, "\"value\":1,\"qualifier\":0,\"select\":false"},
        {48, {0x00, 0xC0, 0x80}, "\"value\":-0.5,\"raw\":-16384,\"qualifier\":0,\"select\":true"},
        {49, {0x88, 0xFF, 0x05}, "\"value\":-120,\"qualifier\":5,\"select\":false"},
        {50, {0x00, 0x00, 0x48, 0x41, 0x00}, "\"value\":12.5,\"qualifier\":0,\"select\":false"},
        {58, with({0x81}, cp56), "\"value\":1,\"qualifier\":0,\"select\":true" + at},
        {61, with({0x00, 0x40, 0x00}, cp56),
         "\"value\":0.5,\"raw\":16384,\"qualifier\":0,\"select\":false" + at},
        {62, with({0x88, 0xFF, 0x80}, cp56), "\"value\":-120,\"qualifier\":0,\"select\":true" + at},
        {63, with({0x00, 0x00, 0xC0, 0xBF, 0x00}, cp56),
         "\"value\":-1.5,\"qualifier\":0,\"select\":false" + at},
    };
    for (const Row& r : rows)
        EXPECT_EQ(elementJson(r.type, r.element), r.expected) << "type " << r.type;
    EXPECT_EQ(elementJson(13, {0x00}), "") << "wrong length";
    EXPECT_EQ(elementJson(63, {0x00, 0x00, 0xC0, 0xBF, 0x00}), "") << "time tag missing";
    EXPECT_EQ(elementJson(100, {20}), "") << "an interrogation";
}

TEST(Secondary, CommandsConfirmedTerminatedOrRefused) {
    const Bytes half = {0x00, 0x40}, minus120 = {0x88, 0xFF}, f12_5 = {0x00, 0x00, 0x48, 0x41};
    const auto with = [](Bytes a, std::uint8_t b) { return a.push_back(b), a; };
    const Bytes tag = cp56(1706969112345); // 2024-02-03 14:05:12.345
    const auto tagged = [&](Bytes a, std::uint8_t b) {
        a.push_back(b);
        a.insert(a.end(), tag.begin(), tag.end());
        return a;
    };
    // The command's answers: ActCon, return information, ActTerm (cause 10).
    const auto done = [](std::uint8_t type, unsigned ioa, const Bytes& e, std::uint8_t back,
                         const Bytes& held) {
        const std::uint8_t cause = back == 1 || back == 3 || back == 30 || back == 31 ? 11 : 3;
        return std::vector<Bytes>{asdu(type, 7, e, 1, ioa), asdu(back, cause, held, 1, ioa),
                                  asdu(type, 10, e, 1, ioa)};
    };
    struct Row {
        const char* name;
        std::set<unsigned> known;
        Bytes command;
        std::vector<Bytes> answers;
    } rows[] = {
        {"normalised, select",
         {},
         asdu(48, 6, with(half, 0x80), 1, 3001),
         {asdu(48, 7, with(half, 0x80), 1, 3001)}},
        {"normalised, execute",
         {},
         asdu(48, 6, with(half, 0), 1, 3001),
         done(48, 3001, with(half, 0), 9, with(half, 0))},
        {"scaled, execute",
         {3002},
         asdu(49, 6, with(minus120, 0), 1, 3002),
         done(49, 3002, with(minus120, 0), 11, with(minus120, 0))},
        {"short float, execute",
         {3003},
         asdu(50, 6, with(f12_5, 0), 1, 3003),
         done(50, 3003, with(f12_5, 0), 13, with(f12_5, 0))},
        {"single command, execute",
         {1001},
         asdu(45, 6, {0x01}, 1, 1001),
         done(45, 1001, {0x01}, 1, {0x01})},
        {"short float, unknown address",
         {3003},
         asdu(50, 6, with(f12_5, 0x80), 1, 3004),
         {asdu(50, 0x40 | 47, with(f12_5, 0x80), 1, 3004)}},
        {"double command, unknown address",
         {1001},
         asdu(46, 6, {0x02}, 1, 9999),
         {asdu(46, 0x40 | 47, {0x02}, 1, 9999)}},
        {"set-point with cause 3",
         {},
         asdu(49, 3, with(minus120, 0), 1, 3002),
         {asdu(49, 0x40 | 45, with(minus120, 0), 1, 3002)}},
        {"set-point deactivated",
         {3002},
         asdu(49, 8, with(minus120, 0x80), 1, 3002),
         {asdu(49, 9, with(minus120, 0x80), 1, 3002)}},
        {"deactivation at an unknown address",
         {3002},
         asdu(49, 8, with(minus120, 0x80), 1, 3003),
         {asdu(49, 0x40 | 47, with(minus120, 0x80), 1, 3003)}},
        // With time tag: S/E before the tag; the return information keeps the tag.
        {"normalised with time tag, select",
         {3001},
         asdu(61, 6, tagged(half, 0x80), 1, 3001),
         {asdu(61, 7, tagged(half, 0x80), 1, 3001)}},
        {"normalised with time tag, execute",
         {3001},
         asdu(61, 6, tagged(half, 0), 1, 3001),
         done(61, 3001, tagged(half, 0), 34, tagged(half, 0))},
        {"scaled with time tag, execute",
         {},
         asdu(62, 6, tagged(minus120, 0), 1, 3002),
         done(62, 3002, tagged(minus120, 0), 35, tagged(minus120, 0))},
        {"short float with time tag, execute",
         {},
         asdu(63, 6, tagged(f12_5, 0), 1, 3003),
         done(63, 3003, tagged(f12_5, 0), 36, tagged(f12_5, 0))},
        {"double command with time tag, execute",
         {},
         asdu(59, 6, tagged({}, 0x01), 1, 1002),
         done(59, 1002, tagged({}, 0x01), 31, tagged({}, 0x01))},
        {"short float with time tag, unknown address",
         {3003},
         asdu(63, 6, tagged(f12_5, 0), 1, 7),
         {asdu(63, 0x40 | 47, tagged(f12_5, 0), 1, 7)}},
        {"regulating step with time tag, execute: no return information",
         {},
         asdu(60, 6, tagged({}, 0x02), 1, 1003),
         {asdu(60, 7, tagged({}, 0x02), 1, 1003), asdu(60, 10, tagged({}, 0x02), 1, 1003)}},
    };
    for (const Row& r : rows) {
        Config c;
        c.knownIoas = r.known;
        Secondary judge(c);
        Outstation station(c, 1);
        station.onAsdu(r.command, judge);
        std::vector<std::string> got, expected;
        for (const Bytes& b : station.class1) got.push_back(hex(b));
        for (const Bytes& b : r.answers) expected.push_back(hex(b));
        EXPECT_EQ(got, expected) << r.name;
        EXPECT_EQ(judge.stats.faults, 0u) << r.name;
        // The command itself is logged with its value.
        std::vector<Event> log = judge.takeEvents();
        ASSERT_EQ(log.size(), 1u) << r.name;
        EXPECT_EQ(log[0].dir, "object") << r.name;
        EXPECT_NE(log[0].what.find("\"type\":" + std::to_string(r.command[0]) + ",\"ca\":1,"),
                  std::string::npos)
            << log[0].what;
        EXPECT_NE(log[0].what.find(",\"select\":"), std::string::npos) << log[0].what;
    }
}

TEST(Secondary, AnswersRequests) {
    const Bytes ei = asdu(70, 4, {0});
    const Bytes clock = asdu(103, 6, cp56(0), 0xFF);
    const Bytes unknownType = asdu(99, 6, {1});
    struct Step {
        Bytes in, out; // no answer expected when out is empty
    };
    struct Row {
        const char* name;
        std::function<void(Config&)> setup;
        std::vector<Step> steps;
    } rows[] = {
        {"status and reset", {}, {{req(9), answer(11)}, {req(0), answer(0, true)}}},
        {"repeated FCB gets the last answer, a toggled FCB new data",
         {},
         {{req(0), answer(0, true)},
          {req(10, true), dataAnswer(ei, false)},
          {req(10, true), dataAnswer(ei, false)},
          {req(10, false), answer(9)}}},
        {"single character for ACK and no data",
         [](Config& c) { c.e5 = true; },
         {{req(0), answer(0, true)},
          {req(10, true), dataAnswer(ei, false)},
          {req(11, false), {kE5}},
          {req(0), {kE5}}}},
        {"a reset forgets the last answer",
         {},
         {{req(0), answer(0, true)},
          {req(10, true), dataAnswer(ei, false)},
          {req(0), answer(0)},
          {req(10, true), answer(9)}}},
        {"class 2 poll while class 1 waits",
         {},
         {{req(0), answer(0, true)}, {req(11, true), answer(9, true)}}},
        {"busy station refuses user data",
         [](Config& c) { c.busy = true; },
         {{req(0), answer(0, true, true)}, {userData(clock, true), answer(1, true, true)}}},
        {"broadcast served without answer, confirmed under the own address",
         {},
         {{req(0), answer(0, true)},
          {userData(clock, false, 0xFF, 4), {}},
          {req(10, true), dataAnswer(ei, true)},
          {req(10, false), dataAnswer(asdu(103, 7, cp56(0)), false)}}},
        {"unknown type refused with cause 44",
         {},
         {{req(0), answer(0, true)},
          {userData(unknownType, true), answer(0, true)},
          {req(10, false), dataAnswer(ei, true)},
          {req(10, true), dataAnswer(asdu(99, 0x40 | 44, {1}), false)}}},
        {"silent and unknown stations say nothing",
         [](Config& c) {
             c.addresses = {1, 2};
             c.silent = 2;
         },
         {{req(9, false, 2), {}}, {req(9, false, 3), {}}, {req(9), answer(11)}}},
    };
    for (const Row& r : rows) {
        Config c;
        if (r.setup) r.setup(c);
        Secondary s(c);
        Ms now = 0;
        for (const Step& step : r.steps) {
            s.receive(step.in, now += 10);
            EXPECT_EQ(hex(s.takeOutput()), hex(step.out)) << r.name << ", after " << hex(step.in);
        }
        EXPECT_EQ(s.stats.faults, 0u) << r.name;
    }
}

TEST(Judging, FaultsAreFoundAndNamed) {
    const Bytes badLength = {0x01, 0x02, 0x06, 0x01, 0x01, 0x00, 0x01};
    struct Row {
        const char* role;
        bool tickFirst;
        std::vector<Bytes> prelude;
        Bytes frame;
        std::string reason;
    } rows[] = {
        {"secondary", false, {}, {0x10, 0x49, 0x01, 0x4B, 0x16}, "checksum wrong"},
        {"secondary",
         false,
         {req(0), req(11, true)},
         req(10, true),
         "FCB not toggled for a new request"},
        {"secondary", false, {}, req(11, false), "request with FCV=1 before the link was reset"},
        {"secondary", false, {req(0)}, req(10, false), "FCB=0 in the first request after a reset"},
        {"secondary", false, {}, fixedFrame(0x59, 1, 1), "FCV=1 with function code 9"},
        {"secondary", false, {}, req(5), "function code 5 not defined for this link"},
        {"secondary", false, {}, answer(0), "PRM=0 from the controlling station"},
        {"secondary", false, {}, req(0, true), "FCB=1 in a reset"},
        {"secondary",
         false,
         {req(0)},
         userData(asdu(100, 6, {20}), false, 0xFF),
         "broadcast with function code 3"},
        {"secondary", false, {req(0)}, userData(badLength, true), "ASDU of type 1 with 2 objects"},
        {"balanced-a", false, {}, req(9, false, 1, 0x80), "DIR=1 from station B"},
        {"balanced-b", false, {}, req(9, false, 1, 0x00), "DIR=0 from station A"},
        {"primary", false, {}, answer(11), "answer without a request"},
        {"primary", true, {}, answer(0), "function code 0 in answer to function code 9"},
        {"primary", true, {}, fixedFrame(0x0B, 2, 1), "answer from address 2 to a request to 1"},
        {"primary", true, {}, {kE5}, "single character in answer to request status of link"},
    };
    for (const Row& r : rows) {
        Config c;
        c.controlling = std::string(r.role) == "balanced-a";
        std::unique_ptr<Peer> p;
        if (std::string(r.role) == "secondary")
            p = std::make_unique<Secondary>(c);
        else if (std::string(r.role) == "primary")
            p = std::make_unique<Primary>(c);
        else
            p = std::make_unique<Balanced>(c);
        if (r.tickFirst) p->tick(0);
        for (const Bytes& b : r.prelude) p->receive(b, 1);
        ASSERT_EQ(p->stats.faults, 0u) << r.reason;
        p->receive(r.frame, 2);
        EXPECT_EQ(p->stats.faults, 1u) << r.reason;
        ASSERT_FALSE(p->stats.faultReasons.empty()) << r.reason;
        EXPECT_EQ(p->stats.faultReasons.begin()->first.rfind(r.reason, 0), 0u)
            << r.role << ": " << p->stats.faultReasons.begin()->first;
        // The verdict is logged with the received frame.
        bool logged = false;
        for (const Event& e : p->takeEvents())
            logged |= e.dir == "rx" && e.verdict.find(r.reason) != std::string::npos;
        EXPECT_TRUE(logged) << r.reason;
    }
}

TEST(Unbalanced, SilentStationIsLostWhileTheOtherIsServed) {
    Config pc;
    pc.addresses = {1, 2};
    pc.timeoutMs = 100;
    pc.retries = 2;
    pc.pollMs = 50;
    pc.commandEvery = 3;
    Config sc = pc;
    sc.silent = 2;
    Primary primary(pc);
    Secondary secondary(sc);
    Wire w{primary, secondary};
    w.run(3000);

    EXPECT_EQ(primary.stats.faults, 0u);
    EXPECT_EQ(secondary.stats.faults, 0u);
    EXPECT_EQ(primary.stats.linksLost, 1u);
    EXPECT_TRUE(noted(w.aLog, "link lost: station 2"));
    EXPECT_GE(primary.stats.interrogationsTerminated, 1u);
    EXPECT_GE(primary.stats.clockSyncsConfirmed, 1u);
    EXPECT_GE(primary.stats.commandsConfirmed, 1u);

    // Station 2: request status, repeated unchanged as often as configured, then given up.
    std::vector<Bytes> toSilent;
    for (const Event& e : w.aLog) {
        if (e.dir == "note" && e.what == "link lost: station 2") break;
        if (e.dir == "tx" && e.bytes.size() > 2 && e.bytes[2] == 2) toSilent.push_back(e.bytes);
    }
    ASSERT_EQ(toSilent.size(), 3u);
    EXPECT_EQ(toSilent[0], req(9, false, 2));
    EXPECT_EQ(toSilent[1], toSilent[0]);
    EXPECT_EQ(toSilent[2], toSilent[0]);
    EXPECT_GE(primary.stats.unanswered, 3u);

    EXPECT_GT(checkFcbSequence(w.aLog, 1), 20);
}

TEST(Unbalanced, ConfiguredCommandsAreFollowedToTheirEnd) {
    Config pc;
    pc.commandEvery = 2;
    pc.commands = {{45, 1001, 1, true},    {48, 3001, 0.5}, {49, 3002, -120},
                   {50, 3003, 12.5, true}, {45, 9999, 1},   {62, 3004, 300, false, 3000}};
    pc.clockMs = 1706969100000; // 2024-02-03 14:05:00
    Config sc = pc;
    sc.knownIoas = {1001, 3001, 3002, 3003, 3004};
    Primary primary(pc);
    Secondary secondary(sc);
    Wire w{primary, secondary};
    w.run(5000); // far longer than the list takes: each command goes once
    EXPECT_EQ(primary.stats.faults + secondary.stats.faults, 0u);
    EXPECT_EQ(primary.stats.commandsSent, 6u);
    EXPECT_EQ(primary.stats.commandsConfirmed, 5u);
    EXPECT_EQ(primary.stats.commandsTerminated, 5u);
    EXPECT_EQ(primary.stats.commandsRefused, 1u);
    EXPECT_EQ(primary.stats.commandRefusals, (std::map<int, std::uint64_t>{{47, 1}}));
    EXPECT_EQ(primary.stats.returnInformation, 5u);
    EXPECT_EQ(primary.stats.negativesReceived, 1u);
    EXPECT_EQ(secondary.stats.negativesSent, 1u);
    // Per type: select and execute of 45 at 1001, execute of 45 at 9999; 45 and 50 answered
    // with ActCon for the select too.
    EXPECT_EQ(secondary.stats.typesReceived[45], 3u);
    EXPECT_EQ(secondary.stats.typesReceived[50], 2u);
    EXPECT_EQ(secondary.stats.typesReceived[62], 1u);
    EXPECT_EQ(primary.stats.typesReceived[45], 4u); // 2 ActCon, ActTerm, the refusal
    EXPECT_EQ(primary.stats.typesReceived[62], 2u);
    EXPECT_EQ(primary.stats.typesReceived[35], 1u);
    EXPECT_EQ(primary.stats.typesSent, secondary.stats.typesReceived);
    EXPECT_EQ(secondary.stats.typesSent, primary.stats.typesReceived);

    // The timed command waits for its time, and carries the time it was sent at.
    int timed = 0;
    for (const Event& e : w.bLog)
        if (e.dir == "object" && e.what.find("\"type\":62") != std::string::npos) {
            ++timed;
            EXPECT_GE(e.ms, 3000) << e.what;
            char at[64];
            std::snprintf(at, sizeof at, "\"time\":\"2024-02-03T14:05:%02lld.",
                          (long long)e.ms / 1000);
            EXPECT_NE(e.what.find(at), std::string::npos) << e.what;
            EXPECT_NE(e.what.find("\"value\":300,\"qualifier\":0,\"select\":false"),
                      std::string::npos)
                << e.what;
        }
    EXPECT_EQ(timed, 1);

    // The steps of one command, in order.
    std::vector<std::string> steps;
    for (const Event& e : w.aLog)
        if (e.dir == "note" && e.what.find("at 3003") != std::string::npos)
            steps.push_back(e.what.substr(0, e.what.find(':')));
    EXPECT_EQ(steps, (std::vector<std::string>{"command select", "command selected",
                                               "command execute", "command confirmed",
                                               "return information", "command terminated"}));
    // The set-points arrive with their values: the station hands them back as it holds them.
    std::vector<std::string> returned;
    for (const Event& e : w.aLog)
        if (e.dir == "object" && (e.what.find("\"cause\":11") != std::string::npos ||
                                  e.what.find("\"cause\":3,") != std::string::npos))
            returned.push_back(e.what.substr(e.what.find("\"sq\"")));
    EXPECT_EQ(returned,
              (std::vector<std::string>{"\"sq\":false,\"value\":1,\"state\":\"on\",\"quality\":0",
                                        "\"sq\":false,\"value\":0.5,\"raw\":16384,\"quality\":0",
                                        "\"sq\":false,\"value\":-120,\"quality\":0",
                                        "\"sq\":false,\"value\":12.5,\"quality\":0",
                                        "\"sq\":false,\"value\":300,\"quality\":0,"
                                        "\"time\":\"2024-02-03T14:05:03.355\""}));
    EXPECT_GT(primary.stats.objectsReceived, 4u); // the interrogated ones too
}

TEST(Unbalanced, LostAnswerIsRepeatedLostLinkIsResetAgain) {
    Config c;
    c.timeoutMs = 100;
    Primary primary(c);
    Secondary secondary(c);
    Wire w{primary, secondary};
    w.run(500); // link up, end of initialisation and interrogation done
    const std::size_t before = w.bLog.size();
    w.aHears = false; // until the next answer is lost
    for (const auto sent = secondary.stats.sent; secondary.stats.sent == sent && w.now < 2000;)
        w.run(w.now + 5);
    w.aHears = true;
    w.run(1500);
    EXPECT_EQ(primary.stats.faults, 0u);
    EXPECT_EQ(secondary.stats.faults, 0u);
    EXPECT_EQ(primary.stats.unanswered, 1u);
    EXPECT_EQ(primary.stats.linksLost, 0u);
    // The repeated request and its answer are the first ones again.
    std::vector<const Event*> after;
    for (std::size_t i = before; i < w.bLog.size(); ++i) after.push_back(&w.bLog[i]);
    ASSERT_GE(after.size(), 4u);
    EXPECT_EQ(after[0]->dir, "rx");
    EXPECT_EQ(after[2]->bytes, after[0]->bytes);
    EXPECT_EQ(after[3]->bytes, after[1]->bytes);
    EXPECT_EQ(after[3]->what.rfind("last answer again", 0), 0u);

    // No answers for longer than the repetitions last: the link is lost, then reset again.
    w.aHears = false;
    w.run(w.now + 1000);
    w.aHears = true;
    w.run(w.now + 3000);
    EXPECT_EQ(primary.stats.linksLost, 1u);
    EXPECT_EQ(primary.stats.interrogationsTerminated, 2u);
    EXPECT_EQ(primary.stats.faults + secondary.stats.faults, 0u);
    EXPECT_GT(checkFcbSequence(w.aLog, 1), 20);
}

TEST(Balanced, ResetForgetsTheLastRequest) {
    Config c;
    c.controlling = false;
    Balanced b(c);
    const auto fromA = [](const Bytes& asdu) { return variableFrame(0xF3, 1, 1, asdu); };
    b.receive(req(0, false, 1, 0x80), 0);
    b.receive(fromA(asdu(100, 6, {20})), 1);
    b.receive(req(0, false, 1, 0x80), 2);
    b.receive(fromA(asdu(103, 6, cp56(0))), 3); // FCB=1 again: new after the reset
    EXPECT_EQ(b.stats.faults, 0u);
    for (const Event& e : b.takeEvents()) {
        if (e.dir == "tx") {
            EXPECT_EQ(e.what, "ACK a=1 dir=0");
        }
    }
}

TEST(Balanced, BothDirectionsResetAndServed) {
    Config a;
    a.timeoutMs = 100;
    a.pollMs = 100;
    a.testIdleMs = 300;
    a.commandEvery = 5;
    Config b = a;
    b.controlling = false;
    Balanced sa(a), sb(b);
    Wire w{sa, sb};
    w.run(3000);
    EXPECT_EQ(sa.stats.faults, 0u);
    EXPECT_EQ(sb.stats.faults, 0u);
    EXPECT_EQ(sa.stats.unanswered + sb.stats.unanswered, 0u);
    EXPECT_EQ(sa.stats.interrogationsTerminated, 1u);
    EXPECT_EQ(sa.stats.clockSyncsConfirmed, 1u);
    EXPECT_GE(sa.stats.commandsConfirmed, 1u);
    for (const auto* log : {&w.aLog, &w.bLog}) {
        int status = 0, reset = 0, test = 0;
        for (const Frame& f : sentFrames(*log)) {
            if (!f.prm()) continue;
            EXPECT_EQ(f.bit7(), log == &w.aLog) << "DIR of " << describe(f, true);
            status += f.fc() == 9;
            reset += f.fc() == 0;
            test += f.fc() == 2;
        }
        EXPECT_EQ(status, 1);
        EXPECT_EQ(reset, 1);
        EXPECT_GE(test, 1);
    }
    int spontaneous = 0;
    for (const Event& e : w.aLog)
        spontaneous += e.dir == "rx" && e.what.find("type=13 cot=3") != std::string::npos;
    EXPECT_GE(spontaneous, 2);

    // B falls silent: A repeats, gives the link up, and resets it when B is back.
    w.bHears = false;
    w.run(6000);
    EXPECT_EQ(sa.stats.linksLost, 1u);
    w.bHears = true;
    w.run(10000);
    EXPECT_EQ(sa.stats.interrogationsTerminated, 2u);
    EXPECT_EQ(sa.stats.faults, 0u);
}
