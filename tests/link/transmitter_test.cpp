// The frame builder and the send sequence on the fake clock.
#include "link/transmitter.h"

#include "asdu/time_tag.h"
#include "link/link_rig.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

// Channel 1 of a rig in an emulation mode, open.
void Mode(LinkRig& r, int fkt, int pro) {
    r.com[0].bp.fkt = fkt;
    r.com[0].bp.pro = pro;
    r.Open();
}

// A single command for station la, ready for Finish variable frame.
T_Telegramm Command(uint8_t cf, uint16_t la) {
    T_Telegramm t{};
    int p = BeginVariableFrame(t, AsduLayout{}, cf, la);
    for (uint8_t b : Hex("2D 01 06 01 00 01 00 00 01")) t.b[p++] = b;
    t.lg = static_cast<int16_t>(p);
    t.stat = ST_OK;
    return t;
}

} // namespace

TEST(Transmitter, FixedFramesByCodeModeAndSwitch) {
    struct Row {
        const char* name;
        int fkt, pro, rb, vwe5;
        bool class1;
        int sw; // link test switch on, or -1
        uint8_t code;
        Bytes frame;
    };
    const int M = FKT_MASTER, S = FKT_SLAVE, U = PRO_UNBALANCED, B = PRO_BALANCED;
    const Row rows[] = {
        {"ack as E5", S, U, 0, 1, false, -1, FF_ACK, {0xE5}},
        {"ack: E5 not used", S, U, 0, 0, false, -1, FF_ACK, Fixed(0x00, 1)},
        {"ack: vwe5 2 sends no E5", S, U, 0, 2, false, -1, FF_ACK, Fixed(0x00, 1)},
        {"ack with class 1 pending: ACD", S, U, 0, 1, true, -1, FF_ACK, Fixed(0x20, 1)},
        {"ack with switch 7: DFC", S, U, 0, 1, false, LT_SET_DFC, FF_ACK, Fixed(0x10, 1)},
        {"ack turned negative", S, U, 0, 1, false, LT_NEGATIVE_ACK, FF_ACK, Fixed(0x01, 1)},
        {"balanced ack carries the direction bit", S, B, 1, 0, false, -1, FF_ACK, Fixed(0x80, 1)},
        {"status of link", S, U, 0, 0, false, -1, FF_STATUS, Fixed(0x0B, 1)},
        {"status turned negative", S, U, 0, 0, false, LT_NEGATIVE_ACK, FF_STATUS, Fixed(0x01, 1)},
        {"not implemented", S, U, 0, 0, false, -1, FF_NOT_IMPLEMENTED, Fixed(0x0F, 1)},
        {"no data", S, U, 0, 1, false, -1, FF_NO_DATA, Fixed(0x09, 1)},
        {"no data as E5", S, U, 0, 3, false, -1, FF_NO_DATA, {0xE5}},
        {"no data: bit 7 inverted, no E5", S, U, 0, 3, false, LT_INVERT_BIT7, FF_NO_DATA,
         Fixed(0x89, 1)},
        {"no data turned negative", S, U, 0, 3, false, LT_NEGATIVE_ACK, FF_NO_DATA, Fixed(0x01, 1)},
        {"request status", M, U, 0, 0, false, -1, FF_REQUEST_STATUS, Fixed(0x49, 1)},
        {"request status, FCV inverted", M, U, 0, 0, false, LT_INVERT_FCV, FF_REQUEST_STATUS,
         Fixed(0x59, 1)},
        {"request status, PRM inverted", M, U, 0, 0, false, LT_INVERT_PRM, FF_REQUEST_STATUS,
         Fixed(0x09, 1)},
        {"reset", M, U, 0, 0, false, -1, FF_RESET, Fixed(0x40, 1)},
        {"test function, balanced", M, B, 1, 0, false, -1, FF_TEST, Fixed(0xF2, 1)},
        {"poll class 2, FCB toggled to 1", M, U, 0, 0, false, -1, FF_REQUEST_DATA, Fixed(0x7B, 1)},
        {"poll, FCB kept by switch 4", M, U, 0, 0, false, LT_NO_FCB_TOGGLE, FF_REQUEST_DATA,
         Fixed(0x5B, 1)},
    };
    // abf 1 always asks for class 1 data.
    {
        LinkRig r;
        r.com[0].bp.abf = 1;
        Mode(r, FKT_MASTER, PRO_UNBALANCED);
        SendFixedFrame(r.com[0], r.env, FF_REQUEST_DATA);
        EXPECT_EQ(r.TakeSent().back(), Fixed(0x7A, 1));
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LinkRig r;
        r.com[0].bp.rb = row.rb;
        r.com[0].bp.vwe5 = row.vwe5;
        Mode(r, row.fkt, row.pro);
        r.com[0].se.class1 = row.class1;
        if (row.sw >= 0) r.com[0].se.lt[static_cast<size_t>(row.sw)] = true;
        SendFixedFrame(r.com[0], r.env, row.code);
        std::vector<Bytes> s = r.TakeSent();
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(ToHex(s[0]), ToHex(row.frame));
        EXPECT_EQ(r.com[0].se.Stat, SS_IDLE);
    }
}

TEST(Transmitter, RequestsAskForAnAnswerAndKeepTheirCopy) {
    LinkRig r;
    Mode(r, FKT_MASTER, PRO_UNBALANCED);
    T_SendVar& se = r.com[0].se;
    SendFixedFrame(r.com[0], r.env, FF_REQUEST_DATA);
    EXPECT_TRUE(se.wquit);
    EXPECT_EQ(se.empfq, 255);
    EXPECT_EQ(Bytes(se.tew.b, se.tew.b + se.tew.lg), Fixed(0x7B, 1));
    // The time-out starts when the transmission ends: qzt 200 ms is four ticks.
    EXPECT_EQ(se.u2, r.av.Tick + 4);
    // A frame that asks for nothing clears the expectation.
    T_Telegramm t = Command(0x44, 1);
    ASSERT_TRUE(FinishVariableFrame(r.com[0], t));
    StartSending(r.com[0], r.env, t);
    EXPECT_FALSE(se.wquit);
    EXPECT_EQ(se.tew.b[1], 0x7B) << "the copy for repetition stays";
    // The repetition is the copy, marked 14.
    Repeat(r.com[0], r.env);
    EXPECT_EQ(r.TakeSent().back(), Fixed(0x7B, 1));
    EXPECT_EQ(r.logged.back().stat, ST_REPETITION);
    EXPECT_EQ(r.logged.back().ek, EK_TX1);
    EXPECT_EQ(r.logged.back().lc, 0x7B);
}

TEST(Transmitter, FrameCountBitTogglesPerStationUnlessSwitchFourIsOn) {
    LinkRig r({1, 2});
    Mode(r, FKT_MASTER, PRO_UNBALANCED);
    T_ComVar& c = r.com[0];
    auto fcb = [&](int station) {
        c.se.usi = station;
        T_Telegramm t = Command(0x53, CurrentLinkAddress(c));
        EXPECT_TRUE(FinishVariableFrame(c, t));
        return (t.b[4] & 0x20) != 0;
    };
    EXPECT_TRUE(fcb(0));
    EXPECT_TRUE(fcb(1)) << "each station has its own frame count bit";
    EXPECT_FALSE(fcb(0));
    c.se.lt[LT_NO_FCB_TOGGLE] = true;
    EXPECT_FALSE(fcb(0));
    EXPECT_FALSE(fcb(0));
    c.se.lt[LT_NO_FCB_TOGGLE] = false;
    EXPECT_TRUE(fcb(0));
    // A response composed by the controlling station becomes user data with confirmation.
    T_Telegramm t = Command(0x08, 1);
    ASSERT_TRUE(FinishVariableFrame(c, t));
    EXPECT_EQ(t.b[4] & 0x5F, 0x53);
}

TEST(Transmitter, AFrameTooLongForTheLengthOctetIsRefused) {
    LinkRig r;
    Mode(r, FKT_MASTER, PRO_UNBALANCED);
    T_Telegramm big{};
    BeginVariableFrame(big, AsduLayout{}, 0x53, 1);
    big.lg = 260;
    EXPECT_FALSE(FinishVariableFrame(r.com[0], big));
    EXPECT_EQ(big.lg, 260);
    EXPECT_EQ(r.com[0].se.usfcb, 0) << "nothing composed";
}

TEST(Transmitter, RawKindsAreBuiltAndJudgedBeforeSending) {
    LinkRig r;
    Mode(r, FKT_MASTER, PRO_UNBALANCED);
    T_ComVar& c = r.com[0];
    const Bytes asdu = Hex("2D 01 06 01 00 01 00 00 01");
    auto build = [&](uint8_t kind, const Bytes& data, uint8_t cf = 0x53) {
        EXPECT_TRUE(BuildRawFrame(c, r.env, kind, data.data(), static_cast<int>(data.size()), cf));
        return Bytes(c.se.te.b, c.se.te.b + c.se.te.lg);
    };
    // 128: the ASDU behind a composed header.
    EXPECT_EQ(build(RAW_ASDU, asdu), Variable(0x73, 1, asdu));
    EXPECT_EQ(c.se.te.stat, ST_OK);
    // 129: control field and address as stored, nothing composed.
    EXPECT_EQ(build(RAW_FIXED, Hex("5B 03")), Fixed(0x5B, 3));
    EXPECT_EQ(c.se.fktorg, 0);
    // 130: control field, address and ASDU as stored; a wrong cause is judged.
    Bytes bad = Hex("53 01 2D 01 03 01 00 01 00 00 01");
    EXPECT_EQ(build(RAW_FRAME, bad), Variable(0x53, 1, Hex("2D 01 03 01 00 01 00 00 01")));
    EXPECT_NE(c.se.te.stat, ST_OK);
    EXPECT_LT(c.se.te.stat, ST_OK);
    // 131: bytes exactly as stored, marked as a text line outside ASCII mode.
    EXPECT_EQ(build(RAW_BYTES, Hex("01 02 03")), Hex("01 02 03"));
    EXPECT_EQ(c.se.te.stat, ST_TEXT_LINE);
    // 133: an empty time tag gets the current time (single point with CP56, 10:00:00.000).
    const Bytes timed = Hex("1E 01 03 01 00 05 00 00 01 00 00 00 00 00 00 00");
    Bytes f = build(RAW_ASDU_LINE, timed);
    ASSERT_EQ(f.size(), timed.size() + 8);
    uint8_t tag[7];
    WriteTimeTag(tag, true, r.clock.LocalNow());
    EXPECT_EQ(Bytes(f.begin() + 15, f.begin() + 22), Bytes(tag, tag + 7));
    EXPECT_EQ(tag[3], 10);
    EXPECT_EQ(c.se.te.stat, ST_OK);
    // A tag that is not empty stays.
    Bytes given = timed;
    given[9] = 0x34;
    f = build(RAW_ASDU_LINE, given);
    EXPECT_EQ(f[15], 0x34);
    EXPECT_EQ(f[16], 0x00);
}

TEST(Transmitter, TransmissionOfTwentyTwoBytesAtNineThousandSixHundredTakesTwentyEightMs) {
    EXPECT_EQ(TransmissionMs(22, 9600), 28);
    LinkRig r;
    r.com[0].bp.rts = 2; // RTS on while sending: its switches show the steps
    Mode(r, FKT_MASTER, PRO_UNBALANCED);
    T_Telegramm t{};
    int p = BeginVariableFrame(t, AsduLayout{}, 0x53, 1);
    t.lg = static_cast<int16_t>(p + 14); // 22 bytes once finished
    ASSERT_TRUE(FinishVariableFrame(r.com[0], t));
    ASSERT_EQ(t.lg, 22);
    StartSending(r.com[0], r.env, t);
    TimedPort& port = r.port[0];
    ASSERT_EQ(port.writeMs.size(), 1u);
    ASSERT_GE(port.rtsMs.size(), 2u);
    EXPECT_EQ(port.rtsMs.back() - port.writeMs[0], 28u);
    EXPECT_FALSE(port.rts) << "RTS back to idle";
    // Both switches are logged as event 50.
    std::vector<T_Telegramm> ev = r.Logged(ST_RTS);
    ASSERT_GE(ev.size(), 2u);
    EXPECT_EQ(ev[ev.size() - 2].la, 1);
    EXPECT_EQ(ev.back().la, 0);
}

TEST(Transmitter, UserDataWithoutReplyMovesFourCharactersFromTheLagIntoTheTransmission) {
    // At 1200 bit/s four characters take 37 ms (pzt); the steps above 54 ms run on the one-shot
    // timer, whose periods (rounded to 10 ms) show each step's length.
    struct Row {
        uint8_t cf;
        std::vector<int> periods; // transmission, RTS lag
    };
    for (const Row& row : {Row{0x53, {190, 200}}, Row{0x44, {230, 160}}}) {
        SCOPED_TRACE(int(row.cf));
        LinkRig r;
        r.com[0].bp.baud = 1200;
        r.com[0].bp.rts = 2;
        r.com[0].bp.tn = 200;
        Mode(r, FKT_MONITOR, PRO_UNBALANCED); // no link procedure sends in between
        ASSERT_EQ(r.com[0].se.pzt, 37);
        T_Telegramm t{};
        int p = BeginVariableFrame(t, AsduLayout{}, row.cf, 1);
        t.lg = static_cast<int16_t>(p + 12); // 20 bytes: 190 ms on the line
        ASSERT_TRUE(FinishVariableFrame(r.com[0], t));
        StartSending(r.com[0], r.env, t);
        r.Ticks(20);
        EXPECT_EQ(r.com[0].se.Stat, SS_IDLE);
        EXPECT_EQ(r.plat.startedMs, row.periods);
    }
}

TEST(Transmitter, TextLineIsSentOnlyWhileOnline) {
    LinkRig r;
    r.com[0].bp.fkt = FKT_ASCII;
    r.Open();
    r.av.online = false;
    EXPECT_FALSE(SendTextLine(r.com[0], r.env, "ATZ"));
    ASSERT_EQ(r.msg.errors.size(), 1u);
    EXPECT_EQ(r.msg.errors[0], "offline");
    EXPECT_TRUE(r.TakeSent().empty());
    r.av.online = true;
    EXPECT_TRUE(SendTextLine(r.com[0], r.env, "ATZ"));
    std::vector<Bytes> s = r.TakeSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Bytes({'A', 'T', 'Z', '\r', '\n'}));
    const T_Telegramm& t = r.logged.back();
    EXPECT_EQ(t.stat, ST_TEXT_LINE);
    EXPECT_EQ(t.ta, TA_TEXT);
    EXPECT_EQ(t.ek, EK_TX1);
    EXPECT_EQ(t.lg, 5);
}

TEST(Transmitter, ControlledStationDropsAnAccessDemandThatNoLongerHolds) {
    LinkRig r;
    Mode(r, FKT_SLAVE, PRO_UNBALANCED);
    T_ComVar& c = r.com[0];
    c.se.class1 = true; // class 1 data was pending when the response was built
    T_Telegramm t = Command(0x08, 1);
    ASSERT_TRUE(FinishVariableFrame(c, t));
    ASSERT_EQ(t.b[4], 0x28);
    // By the time it is sent nothing is pending any more: ACD and the checksum are mended.
    StartSending(c, r.env, t);
    std::vector<Bytes> s = r.TakeSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(ToHex(s[0]), ToHex(Variable(0x08, 1, Hex("2D 01 06 01 00 01 00 00 01"))));
    // The controlled station keeps every response for repetition and awaits nothing.
    EXPECT_EQ(c.se.tew.b[4], 0x08);
    EXPECT_FALSE(c.se.wquit);
}
