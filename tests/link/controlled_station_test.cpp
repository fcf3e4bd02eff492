// The controlled station against a controlling station played as byte tables, on the fake
// clock.
#include "link/controlled_station.h"

#include "link/link_rig.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

const Bytes kE5{0xE5};
// A single command, cause 6 (activation), common address 1, object 1: on.
const Bytes kCommand = Hex("2D 01 06 01 00 01 00 00 01");

// Channel 1 as the controlled station of the given stations (all delays zero).
struct SlaveRig : LinkRig {
    explicit SlaveRig(std::vector<uint16_t> stations = {1}) : LinkRig(stations) {
        com[0].bp.fkt = FKT_SLAVE;
        com[0].bp.vwe5 = 0;
        com[0].bp.bcon = 1;
    }
    // The controlling station's frame; the answers written at once.
    std::vector<Bytes> Request(const Bytes& f) {
        Answer(f);
        return TakeSent();
    }
    void RemoteReset(T_ComVar&, uint16_t la) override { remoteResets.push_back(la); }
    std::vector<uint16_t> remoteResets;
    // Resets station la's link.
    void Reset(uint16_t la) {
        std::vector<Bytes> s = Request(Fixed(0x40, la));
        ASSERT_EQ(s.size(), 1u);
        ASSERT_EQ(s[0], Fixed(0x00, la));
    }
};

// A source with class 2 data for station 0: a measured value, as often as asked.
struct ClassTwo : UserDataSource {
    int built = 0;
    SourceKind Kind() const override { return SourceKind::UserTelegram; }
    ReadyData Ready(const T_ComVar&, int s) const override {
        return s <= 0 ? ReadyData{DATA_CLASS2, 0} : ReadyData{};
    }
    bool Build(T_ComVar& c, int) override {
        T_Telegramm& te = c.se.te;
        te = T_Telegramm{};
        int p = BeginVariableFrame(te, AsduLayout{}, 0x08, CurrentLinkAddress(c));
        const Bytes asdu = {
            0x0B, 0x01, 0x03, 0x01, 0x00, 0x65, 0x00, 0x00, static_cast<uint8_t>(++built),
            0x00, 0x00};
        for (uint8_t b : asdu) te.b[p++] = b;
        te.lg = static_cast<int16_t>(p);
        te.stat = ST_OK;
        return FinishVariableFrame(c, te);
    }
};

// The cause octet of a variable frame (one octet of link address).
uint8_t Cause(const Bytes& f) {
    return f.size() > 8 ? f[8] : 0;
}

} // namespace

TEST(ControlledStation, AnswersOnlyAfterItsLinkIsResetAndRepeatsTheLastAnswer) {
    SlaveRig r;
    ClassTwo data;
    r.sources.Add(&data);
    r.Open();
    // Before the reset only the status request is answered.
    EXPECT_TRUE(r.Request(Fixed(0x7B, 1)).empty());
    EXPECT_EQ(r.LastReceived().stat, ST_FCB_BEFORE_RESET);
    std::vector<Bytes> s = r.Request(Fixed(0x49, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x0B, 1));
    r.Reset(1);
    EXPECT_EQ(r.remoteResets, std::vector<uint16_t>{1}) << "event 44 after the frame";
    // A class 2 request gets the data; the same request again gets the same answer, marked as a
    // repetition, and builds nothing new.
    s = r.Request(Fixed(0x7B, 1));
    ASSERT_EQ(s.size(), 1u);
    ASSERT_EQ(s[0][0], 0x68);
    EXPECT_EQ(s[0][4], 0x08);
    s = r.Request(Fixed(0x7B, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(r.LastReceived().stat, ST_REPETITION);
    EXPECT_EQ(s[0], r.port[0].frames[r.port[0].frames.size() - 2]);
    EXPECT_EQ(r.logged.back().ek, EK_TX1);
    EXPECT_EQ(r.logged.back().stat, ST_REPETITION) << "the copy is marked";
    EXPECT_EQ(data.built, 1);
    // A toggled FCB is a new request.
    s = r.Request(Fixed(0x5B, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(data.built, 2);
    // Without data: "no data"; an unknown service: not implemented.
    r.sources.Remove(&data);
    s = r.Request(Fixed(0x7B, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x09, 1));
    s = r.Request(Fixed(0x41, 1)); // reset of user process
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x0F, 1));
}

TEST(ControlledStation, CommandIsConfirmedOnTheClassOneRequestFirstWithCauseSeven) {
    SlaveRig r;
    ClassTwo data;
    r.sources.Add(&data);
    r.Open();
    r.Reset(1);
    std::vector<Bytes> s = r.Request(Variable(0x73, 1, kCommand));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x20, 1)) << "acknowledged with the access demand bit";
    // A class 2 request also shows that class 1 data waits.
    s = r.Request(Fixed(0x5B, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][4], 0x28);
    s = r.Request(Fixed(0x7A, 1));
    ASSERT_EQ(s.size(), 1u);
    Bytes confirmation = kCommand;
    confirmation[2] = 7;
    EXPECT_EQ(s[0], Variable(0x08, 1, confirmation)) << ToHex(s[0]);
    EXPECT_EQ(r.logged.back().stat, ST_OK);
    // Confirmed once: the next class 1 request finds nothing.
    s = r.Request(Fixed(0x5A, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x09, 1));
    // A repeated command (same FCB) is acknowledged again but kept only once.
    r.Request(Variable(0x73, 1, kCommand));
    r.Request(Variable(0x73, 1, kCommand));
    EXPECT_EQ(r.com[0].se.c[0].size(), 1u);
    // Without automatic confirmation nothing is kept.
    r.com[0].se.c[0].clear();
    r.com[0].bp.bcon = 0;
    r.Request(Variable(0x53, 1, kCommand));
    EXPECT_TRUE(r.com[0].se.c[0].empty());
}

TEST(ControlledStation, CommandsInARowAreEachConfirmed) {
    // An interrogation and a clock synchronisation sent one after the other before the first
    // class 1 request: both confirmations go out, in order.
    SlaveRig r;
    r.Open();
    r.Reset(1);
    const Bytes interrogation = Hex("64 01 06 01 00 00 00 00 14");
    const Bytes clock = Hex("67 01 06 01 00 00 00 00 00 00 00 0C 01 01 18");
    r.Request(Variable(0x73, 1, interrogation));
    r.Request(Variable(0x53, 1, clock));
    std::vector<Bytes> s = r.Request(Fixed(0x7A, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][6], 100);
    EXPECT_EQ(Cause(s[0]), 7);
    EXPECT_EQ(s[0][4], 0x28) << "the second confirmation still waits: ACD";
    s = r.Request(Fixed(0x5A, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][6], 103);
    EXPECT_EQ(s[0][4], 0x08);
}

TEST(ControlledStation, BroadcastCommandIsConfirmedOncePerStationEachOnItsOwnRequest) {
    SlaveRig r({1, 2});
    r.Open();
    r.Reset(1);
    r.Reset(2);
    EXPECT_TRUE(r.Request(Variable(0x44, 0xFF, kCommand)).empty()) << "no answer to a broadcast";
    for (uint16_t la : {1, 2}) {
        SCOPED_TRACE(la);
        std::vector<Bytes> s = r.Request(Fixed(0x7A, la));
        ASSERT_EQ(s.size(), 1u);
        ASSERT_EQ(s[0][0], 0x68);
        EXPECT_EQ(s[0][5], la) << "the station's own link address";
        EXPECT_EQ(Cause(s[0]), 7);
        s = r.Request(Fixed(0x5A, la));
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0], Fixed(0x09, la)) << "confirmed once";
    }
}

TEST(ControlledStation, KeptConfirmationCarriesCauseNegativeBitAndTime) {
    struct Row {
        const char* asdu; // the command as received
        uint8_t cause;    // cause octet of the confirmation
        bool timeFilled;  // the first two element octets hold seconds x 1000 + ms
    };
    const Row rows[] = {
        {"2D 01 08 01 00 01 00 00 01", 0x09, false},                      // deactivation: 8 -> 9
        {"3A 01 06 01 00 01 00 00 01 00 00 00 00 00 00 00", 0x47, false}, // time tag: verdict 53
        {"6A 01 06 01 00 00 00 00 00 00", 0x07, true},                    // delay acquisition
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.asdu);
        SlaveRig r;
        r.Open();
        r.Reset(1);
        r.Request(Variable(0x73, 1, Hex(row.asdu)));
        // The time of the confirmation: 7:08:09.345 when the request arrives.
        r.clock.start = EncodeDateTime(2024, 5, 6, 7, 8, 9, 345) - r.clock.ms / kMsPerDay;
        const uint32_t asked = r.clock.ms;
        std::vector<Bytes> s = r.Request(Fixed(0x5A, 1));
        ASSERT_EQ(s.size(), 1u);
        const Bytes& f = s[0];
        ASSERT_EQ(f[0], 0x68);
        EXPECT_EQ(Cause(f), row.cause);
        Bytes asdu(f.begin() + 6, f.end() - 2);
        Bytes expected = Hex(row.asdu);
        expected[2] = row.cause;
        if (row.timeFilled) {
            // Taken when the frame is built: not before the request, not after it went out.
            const int ms = asdu[8] | asdu[9] << 8;
            EXPECT_GE(ms, 9345);
            EXPECT_LE(ms, 9345 + static_cast<int>(r.clock.ms - asked));
            expected[8] = asdu[8];
            expected[9] = asdu[9];
        }
        EXPECT_EQ(asdu, expected);
        EXPECT_EQ(f, Variable(f[4], 1, asdu)) << "lengths and checksum";
    }
}

TEST(ControlledStation, RequestsWhileAnAnswerIsOwedOrDuringTheDelayAreMarked) {
    SlaveRig r;
    r.com[0].bp.sverz = 200;
    r.Open();
    r.Answer(Fixed(0x49, 1));
    EXPECT_EQ(r.com[0].se.Stat, SS_SEND_DELAY);
    r.Answer(Fixed(0x49, 1));
    EXPECT_EQ(r.LastReceived().stat, ST_BUSY);
    std::vector<Bytes> s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u) << "the second request is dropped";
    // Two requests in one block: the answer to the first is still owed.
    r.com[0].bp.sverz = 0;
    Bytes two = Fixed(0x49, 1);
    for (uint8_t b : Fixed(0x49, 1)) two.push_back(b);
    s = r.Request(two);
    EXPECT_EQ(r.LastReceived().stat, ST_BUSY);
    ASSERT_EQ(s.size(), 1u);
    // A secondary frame or a single character is never expected here.
    r.com[0].bp.vwe5 = 1;
    r.Request(Fixed(0x0B, 1));
    EXPECT_EQ(r.LastReceived().stat, ST_UNEXPECTED);
    r.Request(kE5);
    EXPECT_EQ(r.LastReceived().stat, ST_UNEXPECTED);
    // Link test switch 1: nothing is answered at all.
    r.com[0].se.lt[LT_NO_SECONDARY] = true;
    EXPECT_TRUE(r.Request(Fixed(0x49, 1)).empty());
}

TEST(ControlledStation, AccessDemandIsAnsweredByTheStationWithAConfirmation) {
    SlaveRig r({1, 2});
    r.Open();
    r.Reset(1);
    r.Reset(2);
    // Nothing pending: nobody answers the request for access demand.
    EXPECT_TRUE(r.Request(Fixed(0x48, 0xFF)).empty());
    r.Request(Variable(0x73, 2, kCommand));
    std::vector<Bytes> s = r.Request(Fixed(0x48, 0xFF));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x2B, 2)) << "station 2, status with the access demand bit";
}
