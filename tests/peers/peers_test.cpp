// The peers against each other and against hand-made frames, in memory with stepped time.
#include "iec101_peer.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

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
