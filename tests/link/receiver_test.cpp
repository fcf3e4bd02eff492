#include "link/frame_checks.h"
#include "rx_fixture.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

// A correct exchange of the controlling station (link address 1).
const Bytes kReqStatus = Fixed(0x49, 1);                                // request status of link
const Bytes kGi = Variable(0x73, 1, Hex("64 01 06 01 00 00 00 00 14")); // interrogation

} // namespace

// ---- Framing ----------------------------------------------------------------------------

TEST(ReceiverFraming, FramesWholeSplitAndBackToBack) {
    Rx rx;
    rx.Feed(kReqStatus);
    ASSERT_EQ(rx.Log().size(), 1u); // closed at its last byte, no time-out needed
    EXPECT_EQ(rx.Log()[0].stat, ST_OK);
    EXPECT_EQ(rx.Log()[0].ta, TA_FIXED);
    EXPECT_EQ(rx.Log()[0].ek, EK_RX1);
    EXPECT_EQ(Rx::BytesOf(rx.Log()[0]), kReqStatus);

    // A variable frame in three blocks, then two frames in one block.
    rx.Feed(Bytes(kGi.begin(), kGi.begin() + 3));
    rx.Feed(Bytes(kGi.begin() + 3, kGi.begin() + 10));
    EXPECT_EQ(rx.Log().size(), 1u);
    rx.Feed(Bytes(kGi.begin() + 10, kGi.end()));
    ASSERT_EQ(rx.Log().size(), 2u);
    EXPECT_EQ(rx.Log()[1].stat, ST_OK);
    EXPECT_EQ(rx.Log()[1].typ, 100);
    EXPECT_EQ(rx.Log()[1].ca, 1);

    Bytes two = Fixed(0x7B, 1);
    Bytes ack = Fixed(0x09, 1);
    two.insert(two.end(), ack.begin(), ack.end());
    rx.Feed(two);
    ASSERT_EQ(rx.Log().size(), 4u);
    EXPECT_EQ(rx.Log()[2].lc, 0x7B);
    EXPECT_EQ(rx.Log()[3].lc, 0x09);
    EXPECT_EQ(rx.c.em.bnr, 0);
    EXPECT_EQ(rx.c.em.tlg, 16);
}

TEST(ReceiverFraming, E5InsideAFrameIsData) {
    Rx rx;
    Bytes f = Variable(0x53, 1, Hex("2D 01 06 01 00 E5 00 00 01"));
    rx.Feed(f);
    ASSERT_EQ(rx.Log().size(), 1u);
    EXPECT_EQ(rx.Log()[0].lg, static_cast<int>(f.size()));
    EXPECT_EQ(rx.Log()[0].stat, ST_OK);
}

TEST(ReceiverFraming, LengthOctetFiveClosesAfterFourBytes) {
    Rx rx;
    rx.Feed(Hex("68 05 05 68 08 01 02 03 04 0F 16"));
    ASSERT_EQ(rx.Log().size(), 1u); // closed at once, the rest waits as stray bytes
    EXPECT_EQ(rx.Log()[0].lg, 4);
    EXPECT_EQ(rx.Log()[0].stat, ST_FRAME_LENGTH);
    rx.Pause();
    ASSERT_EQ(rx.Log().size(), 2u);
    EXPECT_EQ(rx.Log()[1].lg, 7);
    EXPECT_EQ(rx.Log()[1].stat, ST_NO_START);
    EXPECT_EQ(rx.Log()[1].ta, TA_NONE);

    // Function 3 and the rp57x variants take the short frame whole.
    for (int fkt : {FKT_FT12, FKT_RP5, FKT_RP6}) {
        Rx r(fkt);
        r.Feed(Hex("68 05 05 68 08 01 02 03 04 12 16"));
        ASSERT_EQ(r.Log().size(), 1u) << fkt;
        EXPECT_EQ(r.Log()[0].lg, 11) << fkt;
    }
}

TEST(ReceiverFraming, InconsistentHeaderOfAVariableFrame) {
    Rx rx;
    rx.Feed(Hex("68 0C 0D 68"));
    ASSERT_EQ(rx.Log().size(), 1u);
    EXPECT_EQ(rx.Log()[0].stat, ST_FRAME_LENGTH);
    rx.Feed(Hex("68 0C 0C 69"));
    ASSERT_EQ(rx.Log().size(), 2u);
    EXPECT_EQ(rx.Log()[1].lg, 4);
}

TEST(ReceiverFraming, GarbageGivesRecordsOf16And8Bytes) {
    Rx rx;
    Bytes garbage;
    for (int i = 0; i < 40; ++i) garbage.push_back(static_cast<uint8_t>(0x20 + i));
    rx.Feed(garbage);
    ASSERT_EQ(rx.Log().size(), 2u);
    rx.Tick(); // not yet timed out
    EXPECT_EQ(rx.Log().size(), 2u);
    rx.Pause();
    ASSERT_EQ(rx.Log().size(), 3u);
    const int lens[] = {16, 16, 8};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rx.Log()[i].lg, lens[i]);
        EXPECT_EQ(rx.Log()[i].stat, ST_NO_START);
        EXPECT_EQ(rx.Log()[i].ta, TA_NONE);
    }
    EXPECT_EQ(rx.Log()[2].b[7], 0x20 + 39);
}

TEST(ReceiverFraming, StrayBytesBeforeAStartCharacter) {
    Rx rx;
    Bytes in = Hex("FF 00");
    in.insert(in.end(), kReqStatus.begin(), kReqStatus.end());
    rx.Feed(in);
    ASSERT_EQ(rx.Log().size(), 2u);
    EXPECT_EQ(rx.Log()[0].stat, ST_NO_START);
    EXPECT_EQ(rx.Log()[0].lg, 2);
    EXPECT_EQ(rx.Log()[1].stat, ST_OK);
}

TEST(ReceiverFraming, TimeOutClosesAnUnfinishedFrame) {
    Rx rx;
    rx.c.bp.baud = 1200;
    rx.Init();
    rx.Feed(Hex("68 0C 0C 68 53 01"));
    rx.clock.Advance(rx.c.em.TOut); // exactly the time-out: not yet passed
    rx.Tick();
    EXPECT_TRUE(rx.Log().empty());
    rx.clock.Advance(1);
    rx.Tick();
    ASSERT_EQ(rx.Log().size(), 1u);
    EXPECT_EQ(rx.Log()[0].stat, ST_FRAME_LENGTH);
    EXPECT_EQ(rx.Log()[0].lg, 6);
    // A gap inside one block does not split a frame; the time-out restarts with each block.
    rx.Feed(Hex("10 49"));
    rx.clock.Advance(rx.c.em.TOut);
    rx.Feed(Hex("01 4A 16"));
    ASSERT_EQ(rx.Log().size(), 2u);
    EXPECT_EQ(rx.Log()[1].stat, ST_OK);
}

TEST(ReceiverFraming, TimeOutAcrossTheClockWrap) {
    Rx rx;
    rx.clock.ms = 0xFFFFFF00u;
    rx.Feed(Hex("10 49"));
    rx.clock.Advance(0x80); // toc lies beyond the wrap; 0x80 ms later it has not passed
    rx.Tick();
    EXPECT_TRUE(rx.Log().empty());
    rx.clock.Advance(rx.c.em.TOut);
    rx.Tick();
    EXPECT_EQ(rx.Log().size(), 1u);
}

TEST(ReceiverFraming, FormatChecks) {
    Rx rx;
    Bytes f = kReqStatus;
    f[3] ^= 1;
    EXPECT_EQ(rx.StatOf(f), ST_CHECKSUM);
    f = kReqStatus;
    f[4] = 0x17;
    EXPECT_EQ(rx.StatOf(f), ST_END_CHAR);
    f = kGi;
    f[f.size() - 2] ^= 0x80;
    EXPECT_EQ(rx.StatOf(f), ST_CHECKSUM);
    f = kGi;
    f.back() = 0;
    EXPECT_EQ(rx.StatOf(f), ST_END_CHAR);
    EXPECT_EQ(rx.StatOf(Hex("10 49 01")), ST_FRAME_LENGTH);
    // With two link address octets the fixed frame is one byte longer.
    rx.ap.lgla = 2;
    rx.Init();
    EXPECT_EQ(rx.StatOf(Fixed(0x49, 1, 2)), ST_OK);
    EXPECT_EQ(rx.Log().back().lg, 6);
}

TEST(ReceiverFraming, LongestFrameFitsTheRecord) {
    Rx rx;
    Bytes asdu{7, 0x81, 3, 1, 0, 1, 0, 0};
    while (asdu.size() < 253) asdu.push_back(0);
    Bytes f = Variable(0x53, 1, asdu);
    ASSERT_EQ(f.size(), 261u);
    rx.Feed(f);
    ASSERT_EQ(rx.Log().size(), 1u);
    EXPECT_EQ(rx.Log()[0].lg, 261);
    EXPECT_GE(rx.Log()[0].stat, ST_REPETITION); // the format is right; the ASDU is graded
}

// ---- Line errors --------------------------------------------------------------------------

TEST(ReceiverLineError, ClosesThePendingFrameWithItsCode) {
    Rx rx;
    rx.Feed(kGi); // fields of an earlier frame in the record
    rx.Feed(Hex("68 0C 0C 68 53"), 5);
    ASSERT_EQ(rx.Log().size(), 2u);
    const T_Telegramm& te = rx.Log()[1];
    EXPECT_EQ(te.stat, ST_LINE_ERROR);
    EXPECT_EQ(te.lg, 6);
    EXPECT_EQ(te.b[5], 5); // the error code as the last byte
    EXPECT_EQ(te.typ, 0);  // nothing of the earlier frame stays
    EXPECT_EQ(te.ca, 0);
    EXPECT_EQ(te.la, 0);
    EXPECT_EQ(rx.c.em.fehl, 0);
    EXPECT_FALSE(rx.c.em.syn);

    // A line error with nothing pending still gives a record.
    rx.Feed(Bytes{}, 2);
    ASSERT_EQ(rx.Log().size(), 3u);
    EXPECT_EQ(rx.Log()[2].lg, 1);
    EXPECT_EQ(rx.Log()[2].b[0], 2);
}

TEST(ReceiverLineError, GoesToTheFirstRecordClosedInTheBlock) {
    Rx rx;
    Bytes in = kReqStatus;
    in.insert(in.end(), kReqStatus.begin(), kReqStatus.end());
    rx.Feed(in, 1);
    ASSERT_EQ(rx.Log().size(), 2u);
    EXPECT_EQ(rx.Log()[0].stat, ST_LINE_ERROR);
    EXPECT_EQ(rx.Log()[0].lg, 6);
    EXPECT_EQ(rx.Log()[1].stat, ST_OK);
}

// ---- Spikes -------------------------------------------------------------------------------

TEST(ReceiverSpikes, TenSuppressedThenLoggedUntilAGoodFrame) {
    Rx rx;
    rx.c.bp.spik = 1;
    for (int i = 0; i < 10; ++i) {
        rx.Feed(Hex("10 49 02"));
        rx.Pause();
    }
    EXPECT_TRUE(rx.Log().empty());
    EXPECT_EQ(rx.c.em.anzspik, 10);
    EXPECT_EQ(rx.hooks.frameTriggerStat.size(), 10u); // closed and handed on, only not logged
    rx.Feed(Hex("10 49 02"));
    rx.Pause();
    ASSERT_EQ(rx.Log().size(), 1u); // the eleventh is logged
    rx.Feed(Hex("10 49 02"));
    rx.Pause();
    EXPECT_EQ(rx.Log().size(), 2u);
    // A correct frame starts a new run.
    rx.Feed(kReqStatus);
    EXPECT_EQ(rx.c.em.anzspik, 0);
    rx.Feed(Hex("10 49 02"));
    rx.Pause();
    EXPECT_EQ(rx.Log().size(), 3u);
    // Long faulty frames are no spikes.
    rx.Feed(Hex("68 0C 0C 68 53 01 64"));
    rx.Pause();
    EXPECT_EQ(rx.Log().size(), 4u);
}

TEST(ReceiverSpikes, OffLogsEverything) {
    Rx rx;
    for (int i = 0; i < 3; ++i) {
        rx.Feed(Hex("10 49 02"));
        rx.Pause();
    }
    EXPECT_EQ(rx.Log().size(), 3u);
}

// ---- Single characters --------------------------------------------------------------------

TEST(ReceiverSingleCharacter, E5PerFunctionAndVwe5) {
    struct Case {
        int fkt, vwe5;
        uint8_t byte;
        uint8_t stat;
        uint8_t ta;
    } cases[] = {
        {FKT_MONITOR, 0, 0xE5, ST_E5_NOT_ALLOWED, TA_FIXED},
        {FKT_MONITOR, 1, 0xE5, ST_OK, TA_FIXED},
        {FKT_SLAVE, 3, 0xE5, ST_OK, TA_FIXED},
        {FKT_FT12, 0, 0xE5, ST_OK, TA_FIXED},
        {FKT_FT12, 0, 0xA2, ST_OK, TA_FIXED},
        {FKT_MONITOR, 1, 0xA2, ST_NO_START, TA_NONE}, // only function 3 knows 0xA2
        {FKT_RP5, 1, 0xE5, ST_NO_START, TA_NONE},     // the variants know no single character
    };
    for (const Case& k : cases) {
        Rx rx(k.fkt);
        rx.c.bp.vwe5 = k.vwe5;
        rx.Feed(Bytes{k.byte});
        rx.Pause();
        ASSERT_EQ(rx.Log().size(), 1u);
        EXPECT_EQ(rx.Log()[0].stat, k.stat) << k.fkt << " " << k.vwe5;
        EXPECT_EQ(rx.Log()[0].ta, k.ta) << k.fkt;
        if (k.ta == TA_FIXED) {
            EXPECT_EQ(rx.Log()[0].lc, k.byte);
        }
    }
}

// ---- ASCII mode ---------------------------------------------------------------------------

TEST(ReceiverAscii, LineRules) {
    Rx rx(FKT_ASCII);
    rx.c.bp.qzt = 50;
    rx.Init();
    rx.Feed(Hex("0D 0A 4F 4B 0D 41"));
    ASSERT_EQ(rx.Log().size(), 1u);
    EXPECT_EQ(rx.Log()[0].lg, 5); // CR LF O K CR, closed at its last CR
    EXPECT_EQ(rx.Log()[0].stat, ST_OK);
    EXPECT_EQ(rx.Log()[0].ta, TA_NONE);

    // The pending "A" times out; the check runs before the new bytes are taken.
    rx.clock.Advance(51);
    rx.Feed(Hex("42"));
    ASSERT_EQ(rx.Log().size(), 2u);
    EXPECT_EQ(rx.Log()[1].lg, 1);

    // A line that starts with other characters ends only at 210 bytes or by the time-out.
    rx.Pause();
    size_t before = rx.Log().size();
    Bytes text(300, 0x41);
    text[5] = 0x0D;
    rx.Feed(text);
    ASSERT_EQ(rx.Log().size(), before + 1);
    EXPECT_EQ(rx.Log().back().lg, 210);
    rx.Pause();
    EXPECT_EQ(rx.Log().back().lg, 90);

    // A line that looks like a frame is decoded for display and not judged.
    rx.Feed(Hex("10 49 01 4A 16"));
    rx.Pause();
    EXPECT_EQ(rx.Log().back().ta, TA_FIXED);
    EXPECT_EQ(rx.Log().back().lc, 0x49);
    EXPECT_EQ(rx.Log().back().stat, ST_OK);
}

// ---- Hooks of close frame -----------------------------------------------------------------

TEST(ReceiverHooks, LinkReactionRunNowAndRemoteReset) {
    Rx rx(FKT_SLAVE); // controlled station of unbalanced transmission
    rx.hooks.setMlke = true;
    rx.Feed(Fixed(0x40, 1)); // reset of remote link: judged 40
    EXPECT_EQ(rx.hooks.linkReactions, 1);
    EXPECT_EQ(rx.hooks.runNow, 1);
    ASSERT_EQ(rx.hooks.remoteResets.size(), 1u);
    EXPECT_EQ(rx.hooks.remoteResets[0], 1);
    EXPECT_EQ(rx.Log().size(), 1u);

    rx.hooks.setMlke = false;
    rx.Feed(Fixed(0x45, 1)); // function code 5 is not permitted: 17 goes to no link reaction
    EXPECT_EQ(rx.Log().back().stat, ST_FUNCTION);
    EXPECT_EQ(rx.hooks.linkReactions, 1);
    EXPECT_EQ(rx.hooks.runNow, 2);
    rx.Feed(Hex("10 49 01"));
    rx.Pause(); // a format error (8) goes to no link reaction either
    EXPECT_EQ(rx.hooks.linkReactions, 1);
    rx.Feed(Fixed(0x7B, 1)); // link not reset: 15 goes to the link reaction
    EXPECT_EQ(rx.Log().back().stat, ST_FCB_BEFORE_RESET);
    EXPECT_EQ(rx.hooks.linkReactions, 2);
    EXPECT_EQ(rx.hooks.remoteResets.size(), 1u);

    // A monitoring channel has no link reaction and posts nothing.
    Rx mon;
    mon.Feed(kReqStatus);
    EXPECT_EQ(mon.hooks.linkReactions, 0);
    EXPECT_EQ(mon.hooks.runNow, 0);
    EXPECT_EQ(mon.hooks.frameTriggerStat.size(), 1u);
}

TEST(ReceiverHooks, Function3TriggersWithTheBroadcastAddress) {
    Rx rx(FKT_FT12);
    rx.Feed(Fixed(0x73, 5));
    ASSERT_EQ(rx.hooks.receiveTriggerLa.size(), 1u);
    EXPECT_EQ(rx.hooks.receiveTriggerLa[0], 0xFF);
    EXPECT_EQ(rx.Log()[0].la, 5);       // restored for the log
    EXPECT_EQ(rx.Log()[0].stat, ST_OK); // no control field check in function 3
    Bytes bad = Fixed(0x73, 5);
    bad[3] ^= 1;
    rx.Feed(bad);
    EXPECT_EQ(rx.hooks.receiveTriggerLa.size(), 1u);
}

TEST(ReceiverHooks, ModemIdleReloadOnCorrectFramesOnly) {
    Rx rx;
    rx.c.wm.vorh = 1;
    rx.Feed(kReqStatus);
    rx.StatOf(Hex("10 49 01"));
    EXPECT_EQ(rx.hooks.idleReloads, 1);
}

TEST(ReceiverModemDialogue, LinesAndTheirBound) {
    Rx rx;
    rx.c.se.lks = 6;
    rx.c.em.tlg = 32;
    rx.Feed(Hex("41 54 0D 0A")); // "AT" CR LF: LF is the last byte of the block
    ASSERT_EQ(rx.hooks.modemLines.size(), 1u);
    EXPECT_EQ(rx.hooks.modemLines[0].lg, 4);
    EXPECT_TRUE(rx.Log().empty()); // the dialogue logs its lines itself
    rx.Feed(Hex("4F 0D 4B"));      // CR inside the block does not close
    EXPECT_EQ(rx.hooks.modemLines.size(), 1u);
    rx.Feed(Hex("16"));
    ASSERT_EQ(rx.hooks.modemLines.size(), 2u);
    EXPECT_EQ(rx.hooks.modemLines[1].lg, 4);
    // 40 bytes without an end: a line of 32, then 8 by the time-out.
    rx.Feed(Bytes(40, 0x43));
    EXPECT_EQ(rx.hooks.modemLines.back().lg, 32);
    rx.Pause();
    EXPECT_EQ(rx.hooks.modemLines.back().lg, 8);
    // A damaged expected length cannot let a line overflow the record.
    rx.c.em.tlg = 0xFFFF;
    rx.Feed(Bytes(600, 0x43));
    for (const T_Telegramm& te : rx.hooks.modemLines) EXPECT_LE(te.lg, kMaxRecordBytes);
}

// ---- rp57x variants -----------------------------------------------------------------------

namespace {

Bytes RpFixed(uint8_t la, uint8_t lc) {
    return Bytes{0x10, la, lc, static_cast<uint8_t>(la + lc), 0x16};
}
// Variable frame of the variants: link address before the control field, then data.
Bytes RpVariable(uint8_t la, uint8_t lc, size_t dataLen) {
    Bytes user{la, lc};
    for (size_t i = 0; i < dataLen; ++i) user.push_back(static_cast<uint8_t>(i));
    Bytes f{0x68, static_cast<uint8_t>(user.size()), static_cast<uint8_t>(user.size()), 0x68};
    unsigned sum = 0;
    for (uint8_t x : user) {
        f.push_back(x);
        sum += x;
    }
    f.push_back(static_cast<uint8_t>(sum));
    f.push_back(0x16);
    return f;
}

} // namespace

TEST(ReceiverRp57x, LengthTables) {
    Rx rx(FKT_RP5);
    // Fixed frame: the type's entry must be 2.
    EXPECT_EQ(rx.StatOf(RpFixed(7, 0x01)), ST_OK);              // odd, typ 0: entry 2
    EXPECT_EQ(rx.StatOf(RpFixed(7, 0x03)), ST_FORMAT_FUNCTION); // odd, typ 1: entry 5
    EXPECT_EQ(rx.StatOf(RpFixed(7, 0x15)), ST_RP_UNKNOWN_TYPE); // odd, typ 10: entry 0
    EXPECT_EQ(rx.StatOf(Hex("10 07 01 08")), ST_FRAME_LENGTH);
    Bytes f = RpFixed(7, 1);
    f[3] ^= 1;
    EXPECT_EQ(rx.StatOf(f), ST_CHECKSUM);
    // Variable frame: entry + 6 bytes in total.
    EXPECT_EQ(rx.StatOf(RpVariable(7, 0x03, 3)), ST_OK); // odd typ 1: 5 + 6 = 11
    EXPECT_EQ(rx.StatOf(RpVariable(7, 0x03, 4)), ST_ASDU_LENGTH);
    EXPECT_EQ(rx.StatOf(RpVariable(7, 0x19, 6)), ST_OK);          // odd typ 12: 8 + 6
    EXPECT_EQ(rx.StatOf(RpVariable(7, 0x05, 1)), ST_ASDU_LENGTH); // odd typ 2: lg - 6 >= 4
    EXPECT_EQ(rx.StatOf(RpVariable(7, 0x05, 2)), ST_OK);
    EXPECT_EQ(rx.StatOf(RpVariable(7, 0x1E, 2)), ST_RP_UNKNOWN_TYPE); // even typ 15: function 6
    EXPECT_EQ(rx.StatOf(RpVariable(7, 0x12, 2)), ST_ASDU_LENGTH);     // even typ 9: lg above 10
    EXPECT_EQ(rx.StatOf(RpVariable(7, 0x12, 3)), ST_OK);
    // Even control fields above 81 use the entry of 81 (0).
    EXPECT_EQ(rx.StatOf(RpVariable(7, 0xF0, 4)), ST_RP_UNKNOWN_TYPE);

    // Function 6 adds one byte, except for the odd type 12 and the even type 15.
    Rx r6(FKT_RP6);
    EXPECT_EQ(r6.StatOf(RpVariable(7, 0x03, 4)), ST_OK);
    EXPECT_EQ(r6.StatOf(RpVariable(7, 0x03, 3)), ST_ASDU_LENGTH);
    EXPECT_EQ(r6.StatOf(RpVariable(7, 0x19, 6)), ST_OK);
    EXPECT_EQ(r6.StatOf(RpVariable(7, 0x1E, 2)), ST_OK); // even typ 15: 4 + 6
    EXPECT_EQ(Rp57xTableEntry(false, 44), 13);
    EXPECT_EQ(Rp57xTableEntry(false, 72), 6);
    EXPECT_EQ(Rp57xTableEntry(false, 79), 11);
    EXPECT_EQ(Rp57xTableEntry(false, 63), 0);
    EXPECT_EQ(Rp57xTableEntry(false, 64), 255);
    EXPECT_EQ(Rp57xTableEntry(true, 14), 255);
}

TEST(FrameChecksum, FixedAndVariableFrames) {
    Bytes f = Hex("10 49 01 4A 16");
    EXPECT_EQ(FrameChecksum(f.data(), 5), 0x4A);
    Bytes v = Hex("68 03 03 68 FF 01 02 02 16");
    EXPECT_EQ(FrameChecksum(v.data(), 9), 0x02); // modulo 256
    EXPECT_EQ(FrameChecksum(v.data(), 2), 0);    // too short for any byte
}
